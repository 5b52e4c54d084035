#include "Image.h"

#include "Pokaz.h"
#include "ZoomArea.h"
#include "app/Command.h"
#include "app/FormStyle.h"

#include <QAction>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

TfrmImage *frmImage = nullptr;

namespace {

// The keypad's keys as well as the main block's: a user zooming holds one hand on the mouse.
QList<QKeySequence> withKeypad(std::initializer_list<int> keys)
{
    QList<QKeySequence> result;
    for (int key : keys)
        result << QKeySequence(key) << QKeySequence(int(Qt::KeypadModifier) | key);
    return result;
}

} // namespace

TfrmImage::TfrmImage(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmImage"));
    setWindowTitle(QStringLiteral("Gromadnik - Pokaż zdjęcie"));
    Image1 = new ZoomArea(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAccessibleName(QStringLiteral("Powiększone zdjęcie"));
    Image1->setContextMenuPolicy(Qt::ActionsContextMenu);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(Image1);
    resize(720, 532);

    actPowieksz = command(QStringLiteral("Powiększ"), "actPowieksz", withKeypad({Qt::Key_Plus, Qt::Key_Equal}));
    actPomniejsz = command(QStringLiteral("Pomniejsz"), "actPomniejsz", withKeypad({Qt::Key_Minus}));
    actDopasuj = command(QStringLiteral("Dopasuj do okna"), "actDopasuj", withKeypad({Qt::Key_0, Qt::Key_F}));
    actRzeczywisty = command(QStringLiteral("Rzeczywisty rozmiar (100%)"), "actRzeczywisty", withKeypad({Qt::Key_1}));
    addSeparator();
    actPoprzednie = command(QStringLiteral("Poprzednie zdjęcie"), "actPoprzednie", {Qt::Key_Left, Qt::Key_PageUp});
    actNastepne = command(QStringLiteral("Następne zdjęcie"), "actNastepne", {Qt::Key_Right, Qt::Key_PageDown});
    addSeparator();
    actPelnyEkran = command(QStringLiteral("Pełny ekran"), "actPelnyEkran", {Qt::Key_F11});
    actPelnyEkran->setCheckable(true);

    connect(actPowieksz, &QAction::triggered, Image1, &ZoomArea::zoomIn);
    connect(actPomniejsz, &QAction::triggered, Image1, &ZoomArea::zoomOut);
    connect(actDopasuj, &QAction::triggered, Image1, &ZoomArea::fit);
    connect(actRzeczywisty, &QAction::triggered, Image1, &ZoomArea::actualSize);
    connectCommand(actPoprzednie, &QAction::triggered, this, &TfrmImage::btnPoprzednieClick);
    connectCommand(actNastepne, &QAction::triggered, this, &TfrmImage::btnNastepneClick);
    connectCommand(actPelnyEkran, &QAction::triggered, this, &TfrmImage::btnPelnyEkranClick);
}

QAction *TfrmImage::command(const QString &caption, const char *objectName, const QList<QKeySequence> &keys)
{
    auto *action = new QAction(caption, this);
    action->setObjectName(QLatin1String(objectName));
    action->setShortcuts(keys);
    action->setShortcutContext(Qt::WindowShortcut);
    Image1->addAction(action);
    return action;
}

void TfrmImage::addSeparator()
{
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    Image1->addAction(separator);
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
    // The window system shows it again after a minimize or a change of state: no new opening.
    if (!event->spontaneous())
        runCommand([this] { FormShow(); });
}

void TfrmImage::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    // Every opening starts at the photo's own size, not full screen as a previous one was left.
    if (!event->spontaneous())
        setWindowState(windowState() & ~Qt::WindowFullScreen);
}

void TfrmImage::changeEvent(QEvent *event)
{
    QDialog::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange)
        actPelnyEkran->setChecked(isFullScreen());
}

void TfrmImage::keyPressEvent(QKeyEvent *event)
{
    // Esc leaves full screen first; only in a window does it close, as a dialog's Esc does.
    if (event->key() == Qt::Key_Escape && isFullScreen()) {
        showNormal();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TfrmImage::FormShow()
{
    // The picture the viewer shows, not the file again: that may have changed or gone since.
    const QSize available = screen()->availableGeometry().size();
    const QSize outer = windowSizeFor(frmPokaz->picture().size(), available);
    showViewerPicture();
    // The outer size is the picture's: the frame and caption come out of it.
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(outer - frame);
    centreOnScreen(this);
}

void TfrmImage::showViewerPicture()
{
    const QImage &picture = frmPokaz->picture();
    Image1->setPicture(picture);
    for (QAction *zoom : {actPowieksz, actPomniejsz, actDopasuj, actRzeczywisty})
        zoom->setEnabled(!picture.isNull());
    actPoprzednie->setEnabled(frmPokaz->btnPoprzednie->isEnabled());
    actNastepne->setEnabled(frmPokaz->btnNastepne->isEnabled());
}

// The viewer steps and reports a photo that fails; shown here is whatever it holds after, an
// empty place included.
void TfrmImage::btnPoprzednieClick()
{
    if (!frmPokaz->btnPoprzednie->isEnabled())
        return;
    runCommand([] { frmPokaz->btnPoprzednieClick(); });
    showViewerPicture();
}

void TfrmImage::btnNastepneClick()
{
    if (!frmPokaz->btnNastepne->isEnabled())
        return;
    runCommand([] { frmPokaz->btnNastepneClick(); });
    showViewerPicture();
}

void TfrmImage::btnPelnyEkranClick()
{
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}
