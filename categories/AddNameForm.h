#pragma once

#include "app/FormStyle.h"

#include <functional>
#include <optional>

class QLineEdit;
class QPushButton;

// The small windows that take one name: a text box, the action button and "Zamknij", and no
// close box. Adding keeps the window open for the next name; renaming closes it.
class AddNameForm : public Form
{
public:
    AddNameForm(QWidget *parent, const char *objectName, const QString &caption, const QString &groupCaption,
                QSize clientSize, const QString &actionCaption = QStringLiteral("Dodaj"),
                const char *actionName = "btnDodaj");

    QLineEdit *txtNazwa;
    QPushButton *btnAction;
    QPushButton *btnZamknij;

    virtual void actionClick() = 0;

protected:
    void showEvent(QShowEvent *event) override;
    // The typed name when `problemOf` finds nothing wrong with it, or nothing after telling the
    // user why it cannot be taken and that nothing was done.
    std::optional<QString> acceptedName(const QString &emptyMessage,
                                        const std::function<QString(const QString &)> &problemOf,
                                        const QString &nothingDone);
    // Tells the user why the command cannot be done, and that nothing was.
    void refuse(const QString &problem, const QString &nothingDone);
};
