#include "Eksport_arkusza.h"

#include "app/Command.h"
#include "app/Dialogs.h"
#include "app/Glowny.h"
#include "store/DataDirectory.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTreeWidget>

TfrmEksport_arkusza *frmEksport_arkusza = nullptr;

namespace {

using SpreadsheetExport::Scope;

QRadioButton *makeRadio(QWidget *parent, const char *objectName, const QString &caption)
{
    auto *radio = new QRadioButton(caption, parent);
    radio->setObjectName(QLatin1String(objectName));
    return radio;
}

QPushButton *makeButton(QWidget *parent, const char *objectName, const QString &caption)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    useButtonKeys(button);
    return button;
}

QComboBox *makeChoice(QWidget *parent, const char *objectName, const QString &name, const QStringList &entries)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QLatin1String(objectName));
    box->setAccessibleName(name);
    box->addItems(entries);
    return box;
}

QGroupBox *makeGroup(QWidget *parent, const char *objectName, const QString &caption,
                     const QList<QRadioButton *> &choices)
{
    auto *group = new QGroupBox(caption, parent);
    group->setObjectName(QLatin1String(objectName));
    group->setAccessibleName(caption);
    auto *layout = new QVBoxLayout(group);
    for (QRadioButton *radio : choices) {
        radio->setParent(group);
        layout->addWidget(radio);
    }
    return group;
}

// The subcategory chosen in the main window, or the empty text: panel 1 names it only while its
// row is selected.
QString chosenSubcategory()
{
    const QList<QTreeWidgetItem *> selected = frmGlowny->ListPodkategorie->selectedItems();
    const QString shown = frmGlowny->panelText(1);
    return !selected.isEmpty() && selected.first()->text(0) == shown ? shown : QString();
}

} // namespace

TfrmEksport_arkusza::TfrmEksport_arkusza(QWidget *parent)
    : Form(parent, "frmEksport_arkusza", QStringLiteral("Gromadnik - Eksport do arkusza"), Frame::Fixed)
{
    radioPodkategoria = makeRadio(this, "radioPodkategoria", QStringLiteral("Podkategoria"));
    radioKategoria = makeRadio(this, "radioKategoria", QStringLiteral("Kategoria"));
    radioKatalog = makeRadio(this, "radioKatalog", QStringLiteral("Cały katalog"));
    GroupBoxZakres = makeGroup(this, "GroupBoxZakres", QStringLiteral("Zakres"),
                               {radioPodkategoria, radioKategoria, radioKatalog});
    radioCSV = makeRadio(this, "radioCSV", QStringLiteral("CSV (tekst rozdzielany)"));
    radioXLSX = makeRadio(this, "radioXLSX", QStringLiteral("XLSX (skoroszyt Excel)"));
    radioCSV->setChecked(true);
    GroupBoxFormat = makeGroup(this, "GroupBoxFormat", QStringLiteral("Format"), {radioCSV, radioXLSX});

    comboKodowanie = makeChoice(this, "comboKodowanie", QStringLiteral("Kodowanie"),
                                {QStringLiteral("UTF-8 (ze znacznikiem BOM)"), QStringLiteral("Windows-1250")});
    comboSeparator = makeChoice(this, "comboSeparator", QStringLiteral("Separator"),
                                {QStringLiteral("Średnik (;)"), QStringLiteral("Przecinek (,)")});
    auto *csvOptions = new QFormLayout;
    m_encodingLabel = new QLabel(QStringLiteral("&Kodowanie:"), this);
    m_encodingLabel->setBuddy(comboKodowanie);
    m_separatorLabel = new QLabel(QStringLiteral("&Separator:"), this);
    m_separatorLabel->setBuddy(comboSeparator);
    csvOptions->addRow(m_encodingLabel, comboKodowanie);
    csvOptions->addRow(m_separatorLabel, comboSeparator);

    btnEksportuj = makeButton(this, "btnEksportuj", QStringLiteral("Eksportuj"));
    btnAnuluj = makeButton(this, "btnAnuluj", QStringLiteral("Anuluj"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnEksportuj);
    buttons->addWidget(btnAnuluj);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 8, 10, 10);
    layout->addWidget(GroupBoxZakres);
    layout->addWidget(GroupBoxFormat);
    layout->addLayout(csvOptions);
    layout->addStretch();
    layout->addLayout(buttons);
    setMinimumWidth(380);

    connect(radioCSV, &QRadioButton::toggled, this, &TfrmEksport_arkusza::radioFormatClick);
    connectCommand(btnEksportuj, &QPushButton::clicked, this, &TfrmEksport_arkusza::btnEksportujClick);
    connectCommand(btnAnuluj, &QPushButton::clicked, this, &TfrmEksport_arkusza::btnAnulujClick);
}

void TfrmEksport_arkusza::FormShow()
{
    m_category = frmGlowny->hasChosenCategory() ? frmGlowny->panelText(0) : QString();
    m_subcategory = m_category.isEmpty() ? QString() : chosenSubcategory();
    radioPodkategoria->setEnabled(!m_subcategory.isEmpty());
    radioKategoria->setEnabled(!m_category.isEmpty());
    radioPodkategoria->setText(m_subcategory.isEmpty() ? QStringLiteral("Podkategoria (nie wybrano)")
                                                       : QStringLiteral("Podkategoria: %1").arg(m_subcategory));
    radioKategoria->setText(m_category.isEmpty() ? QStringLiteral("Kategoria (nie wybrano)")
                                                 : QStringLiteral("Kategoria: %1").arg(m_category));
    (!m_subcategory.isEmpty() ? radioPodkategoria : !m_category.isEmpty() ? radioKategoria : radioKatalog)
        ->setChecked(true);
    radioFormatClick();
    adjustSize();
}

void TfrmEksport_arkusza::radioFormatClick()
{
    for (QWidget *csvOnly : {static_cast<QWidget *>(comboKodowanie), static_cast<QWidget *>(comboSeparator),
                             static_cast<QWidget *>(m_encodingLabel), static_cast<QWidget *>(m_separatorLabel)})
        csvOnly->setEnabled(radioCSV->isChecked());
}

SpreadsheetExport::Selection TfrmEksport_arkusza::chosenSelection() const
{
    if (radioPodkategoria->isChecked())
        return {DataDirectory::path(), Scope::Subcategory, m_category, m_subcategory};
    if (radioKategoria->isChecked())
        return {DataDirectory::path(), Scope::Category, m_category, {}};
    return {DataDirectory::path(), Scope::Catalogue, {}, {}};
}

QString TfrmEksport_arkusza::chooseFile(const SpreadsheetExport::Selection &selection, bool xlsx)
{
    const QString extension = xlsx ? QStringLiteral(".xlsx") : QStringLiteral(".csv");
    QString proposed = selection.scope == Scope::Subcategory ? selection.category + QLatin1Char('_') + selection.subcategory
                       : selection.scope == Scope::Category  ? selection.category
                                                             : QStringLiteral("katalog");
    if (m_lastFolder.isEmpty())
        m_lastFolder = QDir::homePath();
    const Dialogs::FileRequest request{
        QStringLiteral("Eksport do arkusza"),
        xlsx ? QStringLiteral("Skoroszyty Excel (*.xlsx)") : QStringLiteral("Pliki CSV (*.csv)"),
        QDir(m_lastFolder).filePath(proposed + extension), false};
    QString file = Dialogs::current().saveFileName(this, request);
    if (file.isEmpty())
        return {};
    if (!file.endsWith(extension, Qt::CaseInsensitive))
        file += extension;
    m_lastFolder = QFileInfo(file).absolutePath();
    if (QFileInfo::exists(file) &&
        Dialogs::question(this, QStringLiteral("Plik %1 już istnieje. Czy zastąpić go?").arg(QDir::toNativeSeparators(file)),
                          QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return {};
    return file;
}

void TfrmEksport_arkusza::btnEksportujClick()
{
    const SpreadsheetExport::Selection selection = chosenSelection();
    const bool xlsx = radioXLSX->isChecked();
    const QString file = chooseFile(selection, xlsx);
    if (file.isEmpty())
        return;
    qsizetype written = 0;
    {
        const WaitCursor busy;
        const auto encoding = comboKodowanie->currentIndex() == 1 ? CsvWriter::Encoding::Windows1250
                                                                  : CsvWriter::Encoding::Utf8WithBom;
        const QChar separator = comboSeparator->currentIndex() == 1 ? QLatin1Char(',') : QLatin1Char(';');
        written = xlsx ? SpreadsheetExport::writeXlsx(selection, file)
                       : SpreadsheetExport::writeCsv(selection, file, encoding, separator);
    }
    Dialogs::information(this, QStringLiteral("Zapisano %1 do pliku %2.")
                                   .arg(SpreadsheetExport::itemCountText(written), QDir::toNativeSeparators(file)));
    accept();
}

void TfrmEksport_arkusza::btnAnulujClick()
{
    reject();
}
