#include "Image.h"

#include "PictureArea.h"
#include "Pokaz.h"
#include "app/Command.h"
#include "app/FormStyle.h"

#include <QScreen>
#include <QVBoxLayout>

TfrmImage *frmImage = nullptr;

TfrmImage::TfrmImage(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmImage"));
    setWindowTitle(QStringLiteral("Gromadnik - Pokaż zdjęcie"));
    Image1 = new PictureArea(this, PictureArea::Mode::Stretch);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Powiększone zdjęcie"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image1);
    resize(720, 532);
}

QSize TfrmImage::windowSizeFor(QSize picture, QSize available)
{
    if (picture.width() <= available.width() && picture.height() <= available.height())
        return picture;
    return picture.scaled(available, Qt::KeepAspectRatio);
}

void TfrmImage::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    runCommand([this] { FormShow(); });
}

void TfrmImage::FormShow()
{
    // The picture the viewer shows, not the file again: that may have changed or gone since.
    const QSize available = screen()->availableGeometry().size();
    const QImage &picture = frmPokaz->picture();
    const QSize outer = windowSizeFor(picture.size(), available);
    Image1->setPicture(picture);
    // The outer size is the picture's: the frame and caption come out of it.
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(outer - frame);
    centreOnScreen(this);
}
