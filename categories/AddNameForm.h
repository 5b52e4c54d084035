#pragma once

#include "app/FormStyle.h"

#include <optional>

class QLineEdit;
class QPushButton;

// The small window in which one name after another is added to the end of a list: a text box,
// "Dodaj" and "Zamknij", and no close box.
class AddNameForm : public Form
{
public:
    AddNameForm(QWidget *parent, const char *objectName, const QString &caption, const QString &groupCaption,
                QSize clientSize);

    QLineEdit *txtNazwa;
    QPushButton *btnDodaj;
    QPushButton *btnZamknij;

    virtual void btnDodajClick() = 0;

protected:
    void showEvent(QShowEvent *event) override;
    // The typed name, or nothing after telling the user why it cannot be added.
    std::optional<QString> acceptedName(const QString &emptyMessage);
};
