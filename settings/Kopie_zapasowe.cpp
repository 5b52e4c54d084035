#include "Kopie_zapasowe.h"

#include "app/Backups.h"
#include "app/Command.h"
#include "app/Dialogs.h"
#include "store/Backup.h"
#include "store/DataDirectory.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>

TfrmKopie_zapasowe *frmKopie_zapasowe = nullptr;

namespace {

QPushButton *makeButton(QWidget *parent, const char *objectName, const QString &caption, const QString &hint)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(objectName));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    useButtonKeys(button);
    return button;
}

QString sizeText(qint64 bytes)
{
    return QLocale(QLocale::Polish).formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

} // namespace

TfrmKopie_zapasowe::TfrmKopie_zapasowe(QWidget *parent)
    : Form(parent, "frmKopie_zapasowe", QStringLiteral("Gromadnik - Kopie zapasowe"), Frame::Sizeable)
{
    lblFolder = new QLabel(this);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setWordWrap(true);
    ListKopie = new QTreeWidget(this);
    ListKopie->setObjectName(QStringLiteral("ListKopie"));
    ListKopie->setAccessibleName(QStringLiteral("Kopie zapasowe"));
    ListKopie->setHeaderLabels({QStringLiteral("Data"), QStringLiteral("Rozmiar"), QStringLiteral("Liczba pozycji")});
    ListKopie->setRootIsDecorated(false);
    ListKopie->setAllColumnsShowFocus(true);
    ListKopie->header()->setSectionResizeMode(0, QHeaderView::Stretch);

    btnPrzywroc = makeButton(this, "btnPrzywroc", QStringLiteral("Przywróć"),
                             QStringLiteral("Zastępuje katalog zawartością wybranej kopii zapasowej"));
    btnUtworz = makeButton(this, "btnUtworz", QStringLiteral("Utwórz kopię teraz"),
                           QStringLiteral("Zapisuje kopię zapasową obecnego katalogu"));
    btnZamknij = makeButton(this, "btnZamknij", QStringLiteral("Zamknij"), QStringLiteral("Zamyka to okno"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnPrzywroc);
    buttons->addWidget(btnUtworz);
    buttons->addStretch();
    buttons->addWidget(btnZamknij);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->addWidget(lblFolder);
    layout->addWidget(ListKopie);
    layout->addLayout(buttons);
    resize(520, 360);

    connectCommand(btnPrzywroc, &QPushButton::clicked, this, &TfrmKopie_zapasowe::btnPrzywrocClick);
    connectCommand(btnUtworz, &QPushButton::clicked, this, &TfrmKopie_zapasowe::btnUtworzClick);
    connectCommand(btnZamknij, &QPushButton::clicked, this, &TfrmKopie_zapasowe::btnZamknijClick);
}

void TfrmKopie_zapasowe::FormShow()
{
    fillList();
}

void TfrmKopie_zapasowe::fillList()
{
    const QString folder = Backup::folder();
    lblFolder->setText(QStringLiteral("Folder kopii zapasowych: %1").arg(QDir::toNativeSeparators(folder)));
    ListKopie->clear();
    const QLocale polish(QLocale::Polish);
    for (const Backup::Archive &archive : Backup::list(folder)) {
        auto *row = new QTreeWidgetItem(ListKopie);
        row->setText(0, polish.toString(archive.made, QStringLiteral("d MMMM yyyy, HH:mm:ss")));
        row->setText(1, sizeText(archive.size));
        row->setText(2, archive.items < 0 ? QStringLiteral("?") : QString::number(archive.items));
        row->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        row->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        row->setData(0, Qt::UserRole, archive.path);
    }
    if (ListKopie->topLevelItemCount() > 0)
        ListKopie->setCurrentItem(ListKopie->topLevelItem(0));
    btnPrzywroc->setEnabled(ListKopie->topLevelItemCount() > 0);
}

void TfrmKopie_zapasowe::btnPrzywrocClick()
{
    const QTreeWidgetItem *row = ListKopie->currentItem();
    if (!row) {
        Dialogs::information(this, QStringLiteral("Wybierz z listy kopię zapasową, którą chcesz przywrócić."));
        return;
    }
    const QString archive = row->data(0, Qt::UserRole).toString();
    const QString question =
        QStringLiteral("Przywrócić katalog z kopii zapasowej z dnia %1?\n\nObecny katalog zostanie "
                       "najpierw zapisany w nowej kopii zapasowej, a potem w całości zastąpiony "
                       "zawartością wybranej kopii.")
            .arg(row->text(0));
    if (Dialogs::question(this, question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    Backup::restore(DataDirectory::path(), archive, [] { Backups::makeNow(); });
    fillList();
    Dialogs::information(this, QStringLiteral("Katalog został przywrócony z kopii zapasowej z dnia %1.")
                                   .arg(QLocale(QLocale::Polish)
                                            .toString(Backup::madeAt(QFileInfo(archive).fileName()),
                                                      QStringLiteral("d MMMM yyyy, HH:mm:ss"))));
}

void TfrmKopie_zapasowe::btnUtworzClick()
{
    const QString made = Backups::makeNow();
    fillList();
    if (made.isEmpty()) {
        Dialogs::information(this, QStringLiteral("Katalog nie zawiera jeszcze żadnych plików, więc nie ma czego "
                                                  "zapisać w kopii zapasowej."));
        return;
    }
    Dialogs::information(
        this, QStringLiteral("Kopia zapasowa została zapisana w pliku %1.").arg(QDir::toNativeSeparators(made)));
}

void TfrmKopie_zapasowe::btnZamknijClick()
{
    close();
}
