#pragma once

#include <QDialog>

// The program's own window colour, RGB(221, 216, 179), given to every window when it is made.
void applyFormColour(QWidget *form);

// Places the window in the middle of the screen it is on.
void centreOnScreen(QWidget *form);

// What the dialog windows share: made once with the program's colour, centred at every showing,
// and their show handler run as a command.
class Form : public QDialog
{
public:
    enum class Frame {
        Fixed,             // system menu and close box
        FixedMinimizable,  // system menu, minimize and close box
        FixedWithoutClose, // caption only: the window is left through its own button
        Sizeable,          // an ordinary frame the user can resize
    };

    Form(QWidget *parent, const char *objectName, const QString &caption, Frame frame);

    // The window's show handler, run at every showing once the window is centred.
    virtual void FormShow() {}

protected:
    void showEvent(QShowEvent *event) override;
};

class QLineEdit;
class QPushButton;

// In the program's one-line field boxes Enter moves on to the next control that can take the
// focus and Esc does nothing; neither types, beeps or closes the window.
void useFieldKeys(QLineEdit *box);

// The program's buttons are never a window's default, yet Enter presses the one that has the
// focus, as Space does.
void useButtonKeys(QPushButton *button);

// The busy cursor while a long command runs on the windows' thread.
struct WaitCursor
{
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};
