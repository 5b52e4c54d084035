#include "Import_CSV.h"

#include "app/Backups.h"
#include "app/Command.h"

#include <algorithm>

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTableView>

TfrmImport_CSV *frmImport_CSV = nullptr;

namespace {

constexpr int previewRows = 20;

QString targetCaption(int target, const QStringList &fieldNames)
{
    if (target < 10) {
        const QString name = fieldNames.value(target);
        return name.isEmpty() ? QStringLiteral("Pole %1").arg(target + 1)
                              : QStringLiteral("Pole %1: %2").arg(target + 1).arg(name);
    }
    switch (target) {
    case CsvImport::Description:
        return QStringLiteral("Opis");
    case CsvImport::Comment:
        return QStringLiteral("Komentarz");
    case CsvImport::Photos:
        return QStringLiteral("Zdjęcia");
    default:
        return QStringLiteral("(pomiń)");
    }
}

} // namespace

// The first rows as the import will read them; the header row, when the file has one, names the
// columns instead of being a row.
class CsvPreviewModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setTable(const CsvReader::Table &table, bool header)
    {
        beginResetModel();
        m_rows = table.rows;
        m_columns = table.columns;
        m_header = header && !m_rows.isEmpty() ? m_rows.takeFirst() : QStringList();
        m_firstRow = header ? 2 : 1;
        endResetModel();
    }
    const QStringList &header() const { return m_header; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_columns; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        QString text = m_rows.value(index.row()).value(index.column());
        // One line a cell: the breaks of a multi-line value shown as the sign for Enter.
        return text.replace(QLatin1String("\r\n"), QStringLiteral(" ↵ "))
            .replace(QLatin1Char('\n'), QStringLiteral(" ↵ "));
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return QString::number(m_firstRow + section);
        const QString name = m_header.value(section).simplified();
        return name.isEmpty() ? QStringLiteral("Kolumna %1").arg(section + 1) : name;
    }

private:
    QList<QStringList> m_rows;
    QStringList m_header;
    int m_columns = 0;
    int m_firstRow = 1;
};

TfrmImport_CSV::TfrmImport_CSV(QWidget *parent)
    : Form(parent, "frmImport_CSV", QStringLiteral("Gromadnik - Import z pliku CSV"), Frame::Sizeable),
      m_model(new CsvPreviewModel(this))
{
    lblPlik = new QLabel(this);
    lblPlik->setObjectName(QStringLiteral("lblPlik"));
    lblPlik->setAccessibleName(QStringLiteral("Plik CSV"));
    lblPlik->setTextInteractionFlags(Qt::TextSelectableByMouse);
    cmbKodowanie = new QComboBox(this);
    cmbKodowanie->setObjectName(QStringLiteral("cmbKodowanie"));
    cmbKodowanie->setAccessibleName(QStringLiteral("Kodowanie"));
    cmbKodowanie->addItem(QStringLiteral("UTF-8"), int(CsvReader::Encoding::Utf8));
    cmbKodowanie->addItem(QStringLiteral("Windows-1250"), int(CsvReader::Encoding::Windows1250));
    cmbSeparator = new QComboBox(this);
    cmbSeparator->setObjectName(QStringLiteral("cmbSeparator"));
    cmbSeparator->setAccessibleName(QStringLiteral("Separator"));
    cmbSeparator->addItem(QStringLiteral("średnik"), QChar(u';'));
    cmbSeparator->addItem(QStringLiteral("przecinek"), QChar(u','));
    cmbSeparator->addItem(QStringLiteral("tabulator"), QChar(u'\t'));
    chkNaglowki = new QCheckBox(QStringLiteral("Pierwszy wiersz to nagłówki"), this);
    chkNaglowki->setObjectName(QStringLiteral("chkNaglowki"));
    chkNaglowki->setChecked(true);
    gridPodglad = new QTableView(this);
    gridPodglad->setObjectName(QStringLiteral("gridPodglad"));
    gridPodglad->setAccessibleName(QStringLiteral("Podgląd pliku CSV"));
    gridPodglad->setModel(m_model);
    gridPodglad->setEditTriggers(QAbstractItemView::NoEditTriggers);
    gridPodglad->setWordWrap(false);
    gridPodglad->horizontalHeader()->setDefaultSectionSize(170);
    gridPodglad->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The targets stand in a strip of their own above the preview, so that they stay in sight
    // while its rows scroll, and follow its columns as they scroll sideways or are resized.
    panelCele = new QWidget(this);
    panelCele->setObjectName(QStringLiteral("panelCele"));
    m_targetsLabel = new QLabel(QStringLiteral("Cel:"), panelCele);
    m_targetsLabel->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    gridPodglad->verticalHeader()->setMinimumWidth(m_targetsLabel->sizeHint().width() + 4);
    m_targetArea = new QWidget(panelCele);
    panelCele->setFixedHeight(cmbKodowanie->sizeHint().height());
    btnImportuj = new QPushButton(QStringLiteral("Importuj"), this);
    btnImportuj->setObjectName(QStringLiteral("btnImportuj"));
    btnAnuluj = new QPushButton(QStringLiteral("Anuluj"), this);
    btnAnuluj->setObjectName(QStringLiteral("btnAnuluj"));
    for (QPushButton *button : {btnImportuj, btnAnuluj}) {
        button->setAutoDefault(false);
        useButtonKeys(button);
    }

    auto *layout = new QGridLayout(this);
    layout->addWidget(lblPlik, 0, 0, 1, 6);
    auto *encodingLabel = new QLabel(QStringLiteral("Kodowanie:"), this);
    encodingLabel->setBuddy(cmbKodowanie);
    auto *separatorLabel = new QLabel(QStringLiteral("Separator:"), this);
    separatorLabel->setBuddy(cmbSeparator);
    layout->addWidget(encodingLabel, 1, 0);
    layout->addWidget(cmbKodowanie, 1, 1);
    layout->addWidget(separatorLabel, 1, 2);
    layout->addWidget(cmbSeparator, 1, 3);
    layout->addWidget(chkNaglowki, 1, 4);
    layout->setColumnStretch(5, 1);
    layout->addWidget(panelCele, 2, 0, 1, 6);
    layout->addWidget(gridPodglad, 3, 0, 1, 6);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnImportuj);
    buttons->addWidget(btnAnuluj);
    layout->addLayout(buttons, 4, 0, 1, 6);
    resize(860, 520);

    for (QComboBox *box : {cmbKodowanie, cmbSeparator})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { runCommand([this] { redraw(); }); });
    connect(chkNaglowki, &QCheckBox::toggled, this, [this] { runCommand([this] { redraw(); }); });
    const QHeaderView *columns = gridPodglad->horizontalHeader();
    connect(columns, &QHeaderView::sectionResized, this, &TfrmImport_CSV::placeTargets);
    connect(columns, &QHeaderView::geometriesChanged, this, &TfrmImport_CSV::placeTargets);
    connect(gridPodglad->horizontalScrollBar(), &QScrollBar::valueChanged, this, &TfrmImport_CSV::placeTargets);
    gridPodglad->viewport()->installEventFilter(this);
    connectCommand(btnImportuj, &QPushButton::clicked, this, &TfrmImport_CSV::btnImportujClick);
    connect(btnAnuluj, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmImport_CSV::setSource(const CsvImport::Source &source, const ItemStore::Place &place)
{
    m_source = source;
    m_place = place;
    m_fieldNames = CsvImport::fieldNames(place);
    m_added = 0;
    lblPlik->setText(
        QStringLiteral("Plik: %1    Podkategoria: %2 → %3").arg(source.fileName, place.category, place.subcategory));
    {
        const QSignalBlocker encoding(cmbKodowanie);
        const QSignalBlocker separator(cmbSeparator);
        cmbKodowanie->setCurrentIndex(cmbKodowanie->findData(int(source.encoding)));
        cmbSeparator->setCurrentIndex(cmbSeparator->findData(source.separator));
    }
    redraw();
}

QComboBox *TfrmImport_CSV::targetBox(int column) const
{
    return m_targets.value(column);
}

CsvImport::Options TfrmImport_CSV::options() const
{
    CsvImport::Options options;
    options.encoding = CsvReader::Encoding(cmbKodowanie->currentData().toInt());
    options.separator = cmbSeparator->currentData().toChar();
    options.header = chkNaglowki->isChecked();
    for (const QComboBox *box : m_targets)
        options.targets.append(box->currentData().toInt());
    return options;
}

void TfrmImport_CSV::redraw()
{
    qDeleteAll(m_targets);
    m_targets.clear();
    CsvImport::Options chosen = options();
    CsvReader::Table table;
    try {
        table = CsvImport::read(m_source, chosen, previewRows + (chosen.header ? 1 : 0));
    } catch (...) {
        m_model->setTable({}, false);
        btnImportuj->setEnabled(false);
        throw; // the file is damaged: told, and nothing can be imported
    }
    m_model->setTable(table, chosen.header);
    const QList<int> proposed = CsvImport::proposedTargets(m_model->header(), m_fieldNames, table.columns);
    for (int column = 0; column < table.columns; ++column) {
        auto *box = new QComboBox(m_targetArea);
        box->setObjectName(QStringLiteral("cmbKolumna%1").arg(column + 1));
        box->setAccessibleName(QStringLiteral("Kolumna %1").arg(column + 1));
        for (int target = 0; target < CsvImport::targetCount; ++target)
            box->addItem(targetCaption(target, m_fieldNames), target);
        box->setCurrentIndex(box->findData(proposed[column]));
        box->installEventFilter(this);
        box->show();
        m_targets.append(box);
    }
    if (!m_targets.isEmpty())
        panelCele->setFixedHeight(m_targets[0]->sizeHint().height());
    placeTargets();
    btnImportuj->setEnabled(table.rows.size() > (chosen.header ? 1 : 0));
}

void TfrmImport_CSV::placeTargets()
{
    const QHeaderView *columns = gridPodglad->horizontalHeader();
    const int left = gridPodglad->frameWidth() + gridPodglad->verticalHeader()->width();
    m_targetsLabel->setGeometry(0, 0, left, panelCele->height());
    m_targetArea->setGeometry(left, 0, gridPodglad->viewport()->width(), panelCele->height());
    for (int column = 0; column < m_targets.size(); ++column)
        m_targets[column]->setGeometry(columns->sectionViewportPosition(column), 0, columns->sectionSize(column),
                                       panelCele->height());
}

bool TfrmImport_CSV::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == gridPodglad->viewport() && event->type() == QEvent::Resize) {
        placeTargets();
    } else if (event->type() == QEvent::FocusIn) {
        // A target reached with Tab brings its column into sight.
        const int column = int(m_targets.indexOf(static_cast<QComboBox *>(watched)));
        const QHeaderView *columns = gridPodglad->horizontalHeader();
        QScrollBar *bar = gridPodglad->horizontalScrollBar();
        const int x = column < 0 ? 0 : columns->sectionViewportPosition(column);
        const int beyond = x + (column < 0 ? 0 : columns->sectionSize(column)) - gridPodglad->viewport()->width();
        if (x < 0)
            bar->setValue(bar->value() + x);
        else if (beyond > 0)
            bar->setValue(bar->value() + std::min(x, beyond));
    }
    return Form::eventFilter(watched, event);
}

void TfrmImport_CSV::btnImportujClick()
{
    Backups::makeNow(); // the catalogue as it was, should the file bring the wrong data
    const WaitCursor busy;
    m_added = CsvImport::run(m_place, m_source, options());
    accept();
}
