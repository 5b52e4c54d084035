#include "Pokaz.h"

#include "Image.h"
#include "PhotoStrip.h"
#include "PictureArea.h"
#include "PictureLoader.h"
#include "app/Command.h"
#include "app/Dialogs.h"
#include "app/Glowny.h"
#include "items/ItemForm.h"
#include "items/Pozycje_edytuj.h"
#include "store/CatalogueFiles.h"
#include "store/ProfileFile.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

TfrmPokaz *frmPokaz = nullptr;

namespace {

QPushButton *button(QWidget *parent, const QString &caption, const char *objectName)
{
    auto *result = new QPushButton(caption, parent);
    result->setObjectName(QLatin1String(objectName));
    result->setAutoDefault(false);
    result->setFixedSize(145, 25);
    return result;
}

QPlainTextEdit *readOnlyMemo(QWidget *parent, const char *objectName, const QString &accessibleName)
{
    auto *memo = new QPlainTextEdit(parent);
    memo->setObjectName(QLatin1String(objectName));
    memo->setAccessibleName(accessibleName);
    memo->setEnabled(false);
    return memo;
}

} // namespace

TfrmPokaz::TfrmPokaz(QWidget *parent)
    : Form(parent, "frmPokaz", QStringLiteral("Gromadnik - Pokaż pozycje"), Frame::FixedMinimizable)
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->addTab(buildFieldsPage(), QStringLiteral("Dane ogólne"));
    PageControl1->addTab(buildMemosPage(), QStringLiteral("Opis i komentarz"));
    PageControl1->addTab(buildPhotoPage(), QStringLiteral("Zdjęcie"));

    btnEdytuj = button(this, QStringLiteral("Edytuj dane"), "btnEdytuj");
    btnZamknij = button(this, QStringLiteral("Zamknij"), "btnZamknij");
    auto *panel = new QHBoxLayout;
    panel->addWidget(btnEdytuj);
    panel->addStretch();
    panel->addWidget(btnZamknij);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl1, 1);
    layout->addLayout(panel);
    setFixedSize(sizeHint().expandedTo(QSize(374, 447)));

    connectCommand(btnNastepne, &QPushButton::clicked, this, &TfrmPokaz::btnNastepneClick);
    connectCommand(btnPoprzednie, &QPushButton::clicked, this, &TfrmPokaz::btnPoprzednieClick);
    connectCommand(btnPowieksz, &QPushButton::clicked, this, &TfrmPokaz::btnPowiekszClick);
    connectCommand(listMiniatury, &QListWidget::currentRowChanged, this, &TfrmPokaz::listMiniaturyClick);
    connectCommand(btnEdytuj, &QPushButton::clicked, this, &TfrmPokaz::btnEdytujClick);
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);
}

QWidget *TfrmPokaz::buildFieldsPage()
{
    auto *page = new QWidget;
    auto *grid = new QGridLayout(page);
    for (int k = 1; k <= 10; ++k) {
        auto *label = new QLabel(QStringLiteral("Pozycja %1").arg(k), page);
        label->setObjectName(QStringLiteral("Label%1").arg(k));
        auto *box = new QLineEdit(page);
        box->setObjectName(QStringLiteral("Edit%1").arg(k));
        box->setEnabled(false);
        box->setFixedWidth(200);
        label->setBuddy(box);
        grid->addWidget(label, k - 1, 0);
        grid->addWidget(box, k - 1, 1);
        Labels.append(label);
        Edits.append(box);
    }
    grid->setRowStretch(10, 1);
    return page;
}

QWidget *TfrmPokaz::buildMemosPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *description = new QGroupBox(QStringLiteral("Dokładny opis przedmiotu:"), page);
    Memo1 = readOnlyMemo(description, "Memo1", QStringLiteral("Opis"));
    (new QVBoxLayout(description))->addWidget(Memo1);
    auto *comment = new QGroupBox(QStringLiteral("Komentarz: "), page);
    Memo2 = readOnlyMemo(comment, "Memo2", QStringLiteral("Komentarz"));
    (new QVBoxLayout(comment))->addWidget(Memo2);
    layout->addWidget(description);
    layout->addWidget(comment);
    return page;
}

QWidget *TfrmPokaz::buildPhotoPage()
{
    auto *page = new QWidget;
    auto *group = new QGroupBox(QStringLiteral("Zdjęcie"), page);
    Image1 = new PictureArea(group, PictureArea::Mode::Fit);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Zdjęcie przedmiotu"));
    Image1->setFixedSize(345, 249);
    btnPowieksz = button(group, QStringLiteral("Powieksz zdjęcie"), "btnPowieksz");
    btnPoprzednie = button(group, QStringLiteral("Poprzednie zdjęcie"), "btnPoprzednie");
    btnNastepne = button(group, QStringLiteral("Nastepne zdjęcie"), "btnNastepne");
    btnPoprzednie->setEnabled(false);
    btnNastepne->setEnabled(false);
    listMiniatury = new PhotoStrip(group);
    listMiniatury->setObjectName(QStringLiteral("listMiniatury"));
    listMiniatury->setAccessibleName(QStringLiteral("Miniatury zdjęć"));
    listMiniatury->setFixedWidth(Image1->width());
    auto *grid = new QGridLayout(group);
    grid->addWidget(Image1, 0, 0, 1, 2);
    grid->addWidget(listMiniatury, 1, 0, 1, 2);
    grid->addWidget(btnPowieksz, 2, 0, 1, 2, Qt::AlignHCenter);
    grid->addWidget(btnPoprzednie, 3, 0);
    grid->addWidget(btnNastepne, 3, 1);
    (new QVBoxLayout(page))->addWidget(group);
    return page;
}

int TfrmPokaz::photoCount() const
{
    const ItemStore::Place place = currentPlace();
    return KeyedList::photos.count(ProfileFile(place.photoList(m_shownItem.toInt())));
}

QStringList TfrmPokaz::photoPaths() const
{
    const ProfileFile list(currentPlace().photoList(m_shownItem.toInt()));
    const int count = KeyedList::photos.count(list);
    QStringList paths;
    for (int k = 0; k < count; ++k)
        paths.append(list.ReadText(QStringLiteral("zdjecia"), QString::number(k), QString()));
    return paths;
}

void TfrmPokaz::FormShow()
{
    const ItemStore::Place place = currentPlace();
    m_shownItem = frmGlowny->lblpozycja->text();
    const ItemValues values = ItemStore::read(place, m_shownItem.toInt());
    const ProfileFile itemFile(place.itemFile());
    for (int k = 0; k < 10; ++k) {
        Edits[k]->setText(values.fields[k]);
        const QString name = itemFile.ReadText(QStringLiteral("pozycje"), QString::number(k + 1), QString());
        Labels[k]->setText(name);
        Labels[k]->setVisible(!name.isEmpty());
        Edits[k]->setVisible(!name.isEmpty());
    }
    Memo1->setPlainText(values.description);
    Memo2->setPlainText(values.comment);

    // Until photo 0 has loaded the area shows nothing: a picture of another item would mislead.
    const QStringList paths = photoPaths();
    const int count = int(paths.size());
    listMiniatury->setPhotos(paths);
    listMiniatury->setVisible(count > 0);
    m_index = 0;
    m_picture = QImage();
    Image1->setPicture(QImage());
    Image1->setVisible(count > 0);
    btnPowieksz->setEnabled(false);
    updateStepButtons(count);
    if (count > 0)
        showPhoto(0);
    // Last: a catalogue that cannot be written still shows the item whole before the error.
    ProfileFile(place.itemFile()).WriteNumber(QStringLiteral("config"), QStringLiteral("aktualne_zdjecie"), 0);
}

void TfrmPokaz::updateStepButtons(int count)
{
    btnPoprzednie->setEnabled(m_index > 0);
    btnNastepne->setEnabled(m_index < count - 1);
}

void TfrmPokaz::showPhoto(int index)
{
    const ItemStore::Place place = currentPlace();
    const QString path = ProfileFile(place.photoList(m_shownItem.toInt()))
                             .ReadText(QStringLiteral("zdjecia"), QString::number(index), QString());
    // A photo that fails to load is still a step: its place stays empty and both ways lead on.
    m_index = index;
    listMiniatury->setCurrent(index);
    m_picture = QImage();
    Image1->setPicture(QImage());
    btnPowieksz->setEnabled(false);
    updateStepButtons(photoCount());
    // Decoded for the screen, so that the enlarged window shows this very picture.
    m_picture = PictureLoader::load(path, screen()->availableGeometry().size());
    Image1->setPicture(m_picture);
    btnPowieksz->setEnabled(true);
}

void TfrmPokaz::btnNastepneClick()
{
    showPhoto(m_index + 1);
}

void TfrmPokaz::btnPoprzednieClick()
{
    showPhoto(m_index - 1);
}

void TfrmPokaz::listMiniaturyClick()
{
    if (listMiniatury->currentRow() >= 0 && listMiniatury->currentRow() != m_index)
        showPhoto(listMiniatury->currentRow());
}

void TfrmPokaz::btnPowiekszClick()
{
    if (m_picture.isNull()) {
        Dialogs::information(this, QStringLiteral("Nie ma zdjęcia do powiększenia: to zdjęcie nie zostało wczytane."));
        return;
    }
    frmImage->exec();
}

void TfrmPokaz::btnEdytujClick()
{
    // The edit window open beside the main window keeps its own item: it comes forward only for
    // the item shown here, so that the user never types into another one believing it is this.
    const ItemStore::Place place = currentPlace();
    if (frmEdytuj_pozycje->isVisible() &&
        (frmEdytuj_pozycje->item() != m_shownItem.toInt() || frmEdytuj_pozycje->place().dir != place.dir ||
         frmEdytuj_pozycje->place().category != place.category ||
         frmEdytuj_pozycje->place().subcategory != place.subcategory)) {
        Dialogs::information(this, QStringLiteral("Okno edycji jest już otwarte dla innej pozycji. Zapisz tamtą "
                                                  "pozycję i zamknij jej okno, a potem edytuj tę."));
        return;
    }
    close();
    frmEdytuj_pozycje->show(); // beside the main window; a visible one only comes to the front
    frmEdytuj_pozycje->raise();
    frmEdytuj_pozycje->activateWindow();
}
