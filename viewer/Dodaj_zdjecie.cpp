#include "Dodaj_zdjecie.h"

#include "PictureLoader.h"
#include "app/Command.h"
#include "app/Dialogs.h"
#include "items/ItemForm.h"
#include "store/ProfileFile.h"

#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

TfrmDodaj_zdjecie *frmDodaj_zdjecie = nullptr;

TfrmDodaj_zdjecie::TfrmDodaj_zdjecie(QWidget *parent)
    : Form(parent, "frmDodaj_zdjecie", QStringLiteral("Dodawanie zdjęć"), Frame::Sizeable)
{
    txtImage = new QLineEdit(this);
    txtImage->setObjectName(QStringLiteral("txtImage"));
    txtImage->setAccessibleName(QStringLiteral("Ścieżka zdjęcia"));
    txtImage->setEnabled(false);
    btnPrzegladaj = new QPushButton(QStringLiteral("Przegladaj"), this);
    btnPrzegladaj->setObjectName(QStringLiteral("btnPrzegladaj"));
    Button1 = new QPushButton(QStringLiteral("Dodaj zdjęcie"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    for (QPushButton *button : {btnPrzegladaj, Button1, btnZamknij})
        button->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(txtImage, 0, 0, 1, 2);
    grid->addWidget(btnPrzegladaj, 0, 2);
    grid->addWidget(Button1, 1, 0);
    grid->addWidget(btnZamknij, 1, 1);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    resize(439, 117);

    connectCommand(btnPrzegladaj, &QPushButton::clicked, this, &TfrmDodaj_zdjecie::btnPrzegladajClick);
    connectCommand(Button1, &QPushButton::clicked, this, &TfrmDodaj_zdjecie::Button1Click);
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);
}

void choosePicture(QWidget *parent, QLineEdit *box)
{
    const QString path = Dialogs::current().openFileName(
        parent, {QStringLiteral("Wybierz zdjęcie"), PictureLoader::dialogFilter(), {}, true, true});
    if (!path.isEmpty())
        box->setText(path);
}

void TfrmDodaj_zdjecie::btnPrzegladajClick()
{
    choosePicture(this, txtImage);
}

void TfrmDodaj_zdjecie::Button1Click()
{
    const ItemStore::Place place = currentPlace();
    const int items =
        ProfileFile(place.itemFile()).ReadNumber(QStringLiteral("config"), QStringLiteral("liczba_pozycji"), 0);
    if (txtImage->text().isEmpty() || items <= 0)
        return; // nothing chosen, or no item to add it to
    ItemStore::addPhoto(place, items - 1, txtImage->text());
    txtImage->clear();
    Dialogs::information(this, QStringLiteral("Zdjęcie zostało dodane"));
}
