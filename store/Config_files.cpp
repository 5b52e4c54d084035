#include "Config_files.h"

#include "DataDirectory.h"
#include "app/Application.h"
#include "app/Command.h"
#include "app/Dialogs.h"

#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

TfrmConfig_files *frmConfig_files = nullptr;

TfrmConfig_files::TfrmConfig_files(QWidget *parent)
    : Form(parent, "frmConfig_files", QStringLiteral("Pliki konfiguracyjne"), Frame::FixedMinimizable)
{
    auto *group = new QGroupBox(QStringLiteral("Wybierz lokalizacje plików konfiguracyjnych"), this);
    Edit1 = new QLineEdit(DataDirectory::defaultPath(), group);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setAccessibleName(QStringLiteral("Ścieżka plików konfiguracyjnych"));
    btnZapisz = new QPushButton(QStringLiteral("Zapisz"), group);
    btnZapisz->setObjectName(QStringLiteral("btnZapisz"));
    btnZapisz->setAutoDefault(false);

    auto *row = new QHBoxLayout(group);
    row->addWidget(Edit1, 1);
    row->addWidget(btnZapisz);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(group);
    setFixedSize(qMax(304, sizeHint().width()), qMax(82, sizeHint().height()));

    connectCommand(btnZapisz, &QPushButton::clicked, this, &TfrmConfig_files::btnZapiszClick);
}

void TfrmConfig_files::btnZapiszClick()
{
    const QString path = Edit1->text();
    // Only the last folder of the path; a missing parent or an existing folder is no error.
    if (!path.isEmpty())
        QDir().mkdir(path);
    DataDirectory::setPath(path);
    const auto answer = Dialogs::question(
        this,
        QStringLiteral("Ścieżka zapisana pomyślnie.\nPamiętaj, że program powinien zostać teraz zamknięty, aby można "
                       "było ręcznie przegrać wszystkie pliki do nowej lokalizacji.\nCzy chcesz teraz zamknąć "
                       "program ?"),
        QMessageBox::Ok | QMessageBox::Cancel, QStringLiteral("Informacja"));
    if (answer == QMessageBox::Ok)
        Application::requestQuit();
    close();
}
