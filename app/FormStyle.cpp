#include "FormStyle.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

void applyFormColour(QWidget *form)
{
    QPalette palette = form->palette();
    palette.setColor(QPalette::Window, QColor(221, 216, 179));
    form->setPalette(palette);
    form->setAutoFillBackground(true);
}

void centreOnScreen(QWidget *form)
{
    const QScreen *screen = form->screen() ? form->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame = form->frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    form->move(frame.topLeft());
}
