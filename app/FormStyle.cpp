#include "FormStyle.h"

#include "Command.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
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

namespace {

Qt::WindowFlags flagsOf(Form::Frame frame)
{
    if (frame == Form::Frame::Sizeable)
        return Qt::Dialog | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint;
    Qt::WindowFlags flags =
        Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (frame != Form::Frame::FixedWithoutClose)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (frame == Form::Frame::FixedMinimizable)
        flags |= Qt::WindowMinimizeButtonHint;
    return flags;
}

} // namespace

Form::Form(QWidget *parent, const char *objectName, const QString &caption, Frame frame)
    : QDialog(parent, flagsOf(frame))
{
    setObjectName(QLatin1String(objectName));
    setWindowTitle(caption);
    applyFormColour(this);
}

void Form::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // A window coming back from being minimised keeps its place and what it holds.
    if (event->spontaneous())
        return;
    centreOnScreen(this);
    runCommand([this] { FormShow(); });
}

namespace {

class FieldKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)
            return false;
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key != Qt::Key_Return && key != Qt::Key_Enter && key != Qt::Key_Escape)
            return false;
        if (event->type() == QEvent::ShortcutOverride) {
            event->accept(); // keeps the key from the window's default button and shortcuts
            return true;
        }
        if (key != Qt::Key_Escape)
            focusNext(static_cast<QWidget *>(watched));
        return true;
    }

private:
    static void focusNext(QWidget *box)
    {
        for (QWidget *next = box->nextInFocusChain(); next && next != box; next = next->nextInFocusChain()) {
            if (next->isEnabled() && next->isVisibleTo(box->window()) && (next->focusPolicy() & Qt::TabFocus)) {
                next->setFocus(Qt::TabFocusReason);
                return;
            }
        }
    }
};

} // namespace

void useFieldKeys(QLineEdit *box)
{
    static FieldKeys *filter = new FieldKeys(qApp);
    box->installEventFilter(filter);
}

namespace {

class ButtonKeys : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        auto *button = static_cast<QPushButton *>(watched);
        // A held key presses once: a save must not repeat while Enter stays down.
        if (!key->isAutoRepeat() && button->isEnabled())
            button->click();
        return true;
    }
};

} // namespace

void useButtonKeys(QPushButton *button)
{
    static ButtonKeys *filter = new ButtonKeys(qApp);
    button->installEventFilter(filter);
}

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}
