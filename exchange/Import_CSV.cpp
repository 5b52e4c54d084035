#include "Import_CSV.h"

#include "app/Backups.h"
#include "app/Command.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
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

// The first rows as the import will read them. Row 0 holds the mapping combos, which the view
// shows in it; the header row, when the file has one, names the columns instead of being a row.
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
        return parent.isValid() ? 0 : 1 + int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_columns; }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole || index.row() == 0)
            return {};
        QString text = m_rows.value(index.row() - 1).value(index.column());
        // One line a cell: the breaks of a multi-line value shown as the sign for Enter.
        return text.replace(QLatin1String("\r\n"), QStringLiteral(" ↵ "))
            .replace(QLatin1Char('\n'), QStringLiteral(" ↵ "));
    }

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (role != Qt::DisplayRole)
            return {};
        if (orientation == Qt::Vertical)
            return section == 0 ? QStringLiteral("Cel") : QString::number(m_firstRow + section - 1);
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
    : Form(parent, "frmImport_CSV", QStringLiteral("Import z pliku CSV"), Frame::Sizeable),
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
    layout->addWidget(gridPodglad, 2, 0, 1, 6);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnImportuj);
    buttons->addWidget(btnAnuluj);
    layout->addLayout(buttons, 3, 0, 1, 6);
    resize(860, 520);

    for (QComboBox *box : {cmbKodowanie, cmbSeparator})
        connect(box, &QComboBox::currentIndexChanged, this, [this] { runCommand([this] { redraw(); }); });
    connect(chkNaglowki, &QCheckBox::toggled, this, [this] { runCommand([this] { redraw(); }); });
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
    m_targets.clear(); // the view deletes the combos of the rows it drops
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
        auto *box = new QComboBox;
        box->setObjectName(QStringLiteral("cmbKolumna%1").arg(column + 1));
        box->setAccessibleName(QStringLiteral("Kolumna %1").arg(column + 1));
        for (int target = 0; target < CsvImport::targetCount; ++target)
            box->addItem(targetCaption(target, m_fieldNames), target);
        box->setCurrentIndex(box->findData(proposed[column]));
        gridPodglad->setIndexWidget(m_model->index(0, column), box);
        m_targets.append(box);
    }
    gridPodglad->resizeRowToContents(0);
    btnImportuj->setEnabled(table.rows.size() > (chosen.header ? 1 : 0));
}

void TfrmImport_CSV::btnImportujClick()
{
    Backups::makeNow(); // the catalogue as it was, should the file bring the wrong data
    const WaitCursor busy;
    m_added = CsvImport::run(m_place, m_source, options());
    accept();
}
