#pragma once

#include "app/FormStyle.h"
#include "items/ItemStore.h"

#include <QList>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;

// What the add-item and edit-item windows share: ten labelled field boxes in two columns, the
// description and the comment, and "Zapisz" and "Zamknij".
class ItemForm : public Form
{
public:
    ItemForm(QWidget *parent, const char *objectName, const QString &caption);

    QGroupBox *GroupBox1;
    QList<QLabel *> Labels;   // Label1 .. Label10
    QList<QLineEdit *> Edits; // Edit1 .. Edit10
    QGroupBox *GroupBox2;
    QPlainTextEdit *Memo1;
    QPlainTextEdit *Memo2;
    QPushButton *btnZapisz;
    QPushButton *btnZamknij;

    ItemValues values() const;
    // The labels' captions, which name the fields in messages.
    QStringList fieldNames() const;
    void setValues(const ItemValues &values);

protected:
    // The labels take the subcategory's field names; a field without a name is hidden with its box.
    void showFieldNames(const ItemStore::Place &place);
    // Where a subclass puts what it adds between the memos and the buttons.
    QVBoxLayout *m_layout = nullptr;
    void addButtons();
};

// The subcategory chosen in the main window, in the data directory read now.
ItemStore::Place currentPlace();
