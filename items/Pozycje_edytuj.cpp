#include "Pozycje_edytuj.h"

#include "app/Command.h"
#include "app/Dialogs.h"
#include "app/Glowny.h"
#include "store/ProfileFile.h"
#include "viewer/Dodaj_zdjecie.h"
#include "viewer/Usun_zdjecie.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmEdytuj_pozycje *frmEdytuj_pozycje = nullptr;

TfrmEdytuj_pozycje::TfrmEdytuj_pozycje(QWidget *parent)
    : ItemForm(parent, "frmEdytuj_pozycje", QStringLiteral("Gromadnik - Edytuj pozycje"))
{
    GroupBox3 = new QGroupBox(QStringLiteral("Zdjęcia"), this);
    GroupBox3->setObjectName(QStringLiteral("GroupBox3"));
    Edit11 = new QLineEdit(GroupBox3);
    Edit11->setObjectName(QStringLiteral("Edit11"));
    Edit11->setAccessibleName(QStringLiteral("Ścieżka zdjęcia do dodania"));
    Edit11->setEnabled(false);
    btnPrzegladaj = new QPushButton(QStringLiteral("Przeglądaj"), GroupBox3);
    btnPrzegladaj->setObjectName(QStringLiteral("btnPrzegladaj"));
    btnDodaj = new QPushButton(QStringLiteral("Dodaj zdjecie"), GroupBox3);
    btnDodaj->setObjectName(QStringLiteral("btnDodaj"));
    btnUsun = new QPushButton(QStringLiteral("Usuń zdjęcie"), GroupBox3);
    btnUsun->setObjectName(QStringLiteral("btnUsun"));
    for (QPushButton *button : {btnPrzegladaj, btnDodaj, btnUsun}) {
        button->setAutoDefault(false);
        useButtonKeys(button);
    }
    auto *group = new QVBoxLayout(GroupBox3);
    auto *path = new QHBoxLayout;
    path->addWidget(Edit11, 1);
    path->addWidget(btnPrzegladaj);
    auto *photoButtons = new QHBoxLayout;
    photoButtons->addWidget(btnDodaj);
    photoButtons->addWidget(btnUsun);
    group->addLayout(path);
    group->addLayout(photoButtons);
    m_layout->addWidget(GroupBox3);
    addButtons();

    setTabOrder(Memo2, btnPrzegladaj);
    setTabOrder(btnPrzegladaj, btnDodaj);
    setTabOrder(btnDodaj, btnUsun);
    setTabOrder(btnUsun, btnZapisz);
    setTabOrder(btnZapisz, btnZamknij);

    connectCommand(btnZapisz, &QPushButton::clicked, this, &TfrmEdytuj_pozycje::btnZapiszClick);
    connectCommand(btnPrzegladaj, &QPushButton::clicked, this, &TfrmEdytuj_pozycje::btnPrzegladajClick);
    connectCommand(btnDodaj, &QPushButton::clicked, this, &TfrmEdytuj_pozycje::btnDodajClick);
    connectCommand(btnUsun, &QPushButton::clicked, this, &TfrmEdytuj_pozycje::btnUsunClick);
}

namespace {

bool sameValues(const ItemValues &a, const ItemValues &b)
{
    return a.fields == b.fields && a.description == b.description && a.comment == b.comment && a.photo == b.photo;
}

} // namespace

void TfrmEdytuj_pozycje::FormShow()
{
    m_place = currentPlace();
    m_item = frmGlowny->lblpozycja->text().toInt();
    const ItemValues values = ItemStore::read(m_place, m_item);
    m_held = {values, ItemStore::photos(m_place, m_item)};
    setValues(values);
    Edit11->setText(values.photo);
    showFieldNames(m_place);
}

bool TfrmEdytuj_pozycje::itemUnchanged(QWidget *parent, const QString &nothingDone) const
{
    const int count =
        ProfileFile(m_place.itemFile()).ReadNumber(QStringLiteral("config"), QStringLiteral("liczba_pozycji"), 0);
    if (m_item >= 0 && m_item < count && sameValues(ItemStore::read(m_place, m_item), m_held.values) &&
        ItemStore::photos(m_place, m_item) == m_held.photos)
        return true;
    Dialogs::information(parent, QStringLiteral("Edytowana pozycja została w międzyczasie zmieniona lub usunięta w "
                                                "innym oknie (na jej miejsce mogła trafić inna pozycja). %1\nZamknij "
                                                "to okno i otwórz pozycję ponownie.")
                                     .arg(nothingDone));
    return false;
}

void TfrmEdytuj_pozycje::photosChanged()
{
    m_held.photos = ItemStore::photos(m_place, m_item);
}

void TfrmEdytuj_pozycje::btnZapiszClick()
{
    if (!itemUnchanged(this, QStringLiteral("Dane nie zostały zapisane.")))
        return;
    ItemStore::checkStorable(values(), fieldNames()); // refused by the field's own name
    ItemStore::save(m_place, m_item, values());
    m_held.values = ItemStore::read(m_place, m_item);
    Dialogs::information(this, QStringLiteral("Dane zostały pomyślnie zmienione."));
}

void TfrmEdytuj_pozycje::btnPrzegladajClick()
{
    choosePicture(this, Edit11);
}

void TfrmEdytuj_pozycje::btnDodajClick()
{
    if (Edit11->text().isEmpty() || !itemUnchanged(this, QStringLiteral("Zdjęcie nie zostało dodane.")))
        return;
    ItemStore::addPhoto(m_place, m_item, Edit11->text());
    photosChanged();
    Edit11->clear();
    Dialogs::information(this, QStringLiteral("Zdjęcie zostało dodane"));
}

void TfrmEdytuj_pozycje::btnUsunClick()
{
    if (itemUnchanged(this, QStringLiteral("Lista zdjęć nie została otwarta.")))
        frmLista_zdjec->exec();
}
