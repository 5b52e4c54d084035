#include "Usun_zdjecie.h"

#include "app/Command.h"
#include "app/Dialogs.h"
#include "items/Pozycje_edytuj.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TfrmLista_zdjec *frmLista_zdjec = nullptr;

TfrmLista_zdjec::TfrmLista_zdjec(QWidget *parent)
    : Form(parent, "frmLista_zdjec", QStringLiteral("Lista zdjęć - usuń zdjęcie"), Frame::Sizeable)
{
    auto *group = new QGroupBox(QStringLiteral("Wybierz zdjęcie, które ma być usunięte"), this);
    listZdjecia = new QListWidget(group);
    listZdjecia->setObjectName(QStringLiteral("listZdjecia"));
    listZdjecia->setAccessibleName(QStringLiteral("Zdjęcia"));
    listZdjecia->setToolTip(QStringLiteral("Lista wszystkich dostępnych zdjęć"));
    listZdjecia->setSelectionMode(QAbstractItemView::SingleSelection);
    (new QVBoxLayout(group))->addWidget(listZdjecia);

    btnUsun = new QPushButton(QStringLiteral("Usuń zdjęcie"), this);
    btnUsun->setObjectName(QStringLiteral("btnUsun"));
    btnUsun->setToolTip(QStringLiteral("Usuwa wybrane zdjęcie"));
    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    btnZamknij->setToolTip(QStringLiteral("Zamyka to okno"));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnUsun);
    buttons->addWidget(btnZamknij);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);
    resize(485, 414);

    connectCommand(btnUsun, &QPushButton::clicked, this, &TfrmLista_zdjec::btnUsunClick);
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);
}

void TfrmLista_zdjec::FormShow()
{
    listZdjecia->clear();
    listZdjecia->addItems(ItemStore::photos(frmEdytuj_pozycje->place(), frmEdytuj_pozycje->item()));
}

void TfrmLista_zdjec::btnUsunClick()
{
    if (Dialogs::question(this, QStringLiteral("Czy chcesz usunąć wybrane zdjęcie ?"),
                          QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
        return;
    // The list shows the photos the item held when it was filled; they must still be its own.
    if (!frmEdytuj_pozycje->itemUnchanged(this, QStringLiteral("Żadne zdjęcie nie zostało usunięte.")))
        return;
    const auto selected = listZdjecia->selectedItems();
    if (!selected.isEmpty())
        delete listZdjecia->takeItem(listZdjecia->row(selected.first()));
    QStringList remaining;
    for (int row = 0; row < listZdjecia->count(); ++row)
        remaining.append(listZdjecia->item(row)->text());
    ItemStore::setPhotos(frmEdytuj_pozycje->place(), frmEdytuj_pozycje->item(), remaining);
    frmEdytuj_pozycje->photosChanged();
}
