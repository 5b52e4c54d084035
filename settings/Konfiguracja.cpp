#include "Konfiguracja.h"

#include "app/Command.h"
#include "app/Dialogs.h"
#include "store/Backup.h"
#include "store/CatalogueFiles.h"
#include "store/DataDirectory.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

TfrmKonfiguracja *frmKonfiguracja = nullptr;

namespace {

const QString section = QStringLiteral("config");
const QString key = QStringLiteral("sprawdz_wersje");

QPushButton *makeButton(QWidget *parent, const char *objectName, const QString &caption, const QString &hint)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

} // namespace

TfrmKonfiguracja::TfrmKonfiguracja(QWidget *parent)
    : Form(parent, "frmKonfiguracja", QStringLiteral("Gromadnik - Konfiguracja programu"), Frame::Sizeable)
{
    GroupBox2 = new QGroupBox(QStringLiteral("Sprawdzaj czy jest nowa wersja po uruchomieniu"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setToolTip(
        QStringLiteral("Tutaj możesz ustawić czy program po uruchomieniu ma sprawdzać dostępność nowej wersji"));
    radioWersja1 = new QRadioButton(QStringLiteral("Tak"), GroupBox2);
    radioWersja1->setObjectName(QStringLiteral("radioWersja1"));
    radioWersja2 = new QRadioButton(QStringLiteral("Nie"), GroupBox2);
    radioWersja2->setObjectName(QStringLiteral("radioWersja2"));
    radioWersja2->setChecked(true);
    auto *choices = new QHBoxLayout(GroupBox2);
    choices->addWidget(radioWersja1);
    choices->addWidget(radioWersja2);
    choices->addStretch();

    auto *folderLabel = new QLabel(QStringLiteral("Folder kopii zapasowych"), this);
    txtFolderKopii = new QLineEdit(this);
    txtFolderKopii->setObjectName(QStringLiteral("txtFolderKopii"));
    txtFolderKopii->setAccessibleName(QStringLiteral("Folder kopii zapasowych"));
    txtFolderKopii->setPlaceholderText(QDir::toNativeSeparators(Backup::defaultFolder()));
    folderLabel->setBuddy(txtFolderKopii);
    btnFolderKopii = makeButton(this, "btnFolderKopii", QStringLiteral("Wybierz…"),
                                QStringLiteral("Wybiera folder, w którym program zapisuje kopie zapasowe katalogu"));
    auto *folderRow = new QHBoxLayout;
    folderRow->addWidget(txtFolderKopii);
    folderRow->addWidget(btnFolderKopii);

    btnZapisz = makeButton(this, "btnZapisz", QStringLiteral("Zapisz"), QStringLiteral("Zapisuje konfiguracje"));
    btnZamknij = makeButton(this, "btnZamknij", QStringLiteral("Zamknij"), QStringLiteral("Zamyka to okno"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnZapisz);
    buttons->addWidget(btnZamknij);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addWidget(GroupBox2);
    layout->addWidget(folderLabel);
    layout->addLayout(folderRow);
    layout->addStretch();
    layout->addLayout(buttons);
    resize(420, 190);

    connectCommand(btnFolderKopii, &QPushButton::clicked, this, &TfrmKonfiguracja::btnFolderKopiiClick);
    connectCommand(btnZapisz, &QPushButton::clicked, this, &TfrmKonfiguracja::btnZapiszClick);
    connectCommand(btnZamknij, &QPushButton::clicked, this, &TfrmKonfiguracja::btnZamknijClick);
}

void TfrmKonfiguracja::FormShow()
{
    const ProfileFile categories(CatalogueFiles::categoryList(DataDirectory::path()));
    // Only 1 shows "Tak", though the check runs for any value but 0.
    if (categories.ReadNumber(section, key, 0) == 1)
        radioWersja1->setChecked(true);
    else
        radioWersja2->setChecked(true);
    const QString folder = Backup::folder();
    txtFolderKopii->setText(folder == Backup::defaultFolder() ? QString() : QDir::toNativeSeparators(folder));
}

void TfrmKonfiguracja::btnFolderKopiiClick()
{
    const QString chosen =
        Dialogs::current().folderName(this, {QStringLiteral("Folder kopii zapasowych"), Backup::folder()});
    if (!chosen.isEmpty())
        txtFolderKopii->setText(QDir::toNativeSeparators(chosen));
}

void TfrmKonfiguracja::btnZapiszClick()
{
    ProfileFile(CatalogueFiles::categoryList(DataDirectory::path()))
        .WriteNumber(section, key, radioWersja1->isChecked() ? 1 : 0);
    Backup::setFolder(QDir::fromNativeSeparators(txtFolderKopii->text().trimmed()));
    Dialogs::information(this, QStringLiteral("Konfiguracja zapisana"));
}

void TfrmKonfiguracja::btnZamknijClick()
{
    close();
}
