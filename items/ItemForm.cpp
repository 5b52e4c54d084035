#include "ItemForm.h"

#include "app/Glowny.h"
#include "store/DataDirectory.h"
#include "store/ProfileFile.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

ItemStore::Place currentPlace()
{
    return {DataDirectory::path(), frmGlowny->panelText(0), frmGlowny->panelText(1)};
}

ItemForm::ItemForm(QWidget *parent, const char *objectName, const QString &caption)
    : Form(parent, objectName, caption, Frame::FixedMinimizable)
{
    GroupBox1 = new QGroupBox(QStringLiteral("Dane ogólne przedmiotu: "), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *fields = new QGridLayout(GroupBox1);
    for (int k = 1; k <= 10; ++k) {
        auto *label = new QLabel(QStringLiteral("Pozycja %1").arg(k), GroupBox1);
        label->setObjectName(QStringLiteral("Label%1").arg(k));
        auto *box = new QLineEdit(GroupBox1);
        box->setObjectName(QStringLiteral("Edit%1").arg(k));
        box->setFixedWidth(200);
        label->setBuddy(box);
        useFieldKeys(box);
        const int column = k <= 5 ? 0 : 1;
        const int row = (k - 1) % 5 * 2;
        fields->addWidget(label, row, column, Qt::AlignLeft);
        fields->addWidget(box, row + 1, column, Qt::AlignLeft);
        Labels.append(label);
        Edits.append(box);
    }

    // The columns keep their places when unnamed fields are hidden.
    fields->setColumnMinimumWidth(0, 210);
    fields->setColumnMinimumWidth(1, 210);
    fields->setRowStretch(10, 1);

    GroupBox2 = new QGroupBox(QStringLiteral("Dokładny opis i komentarz:"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto *memos = new QHBoxLayout(GroupBox2);
    Memo1 = new QPlainTextEdit(GroupBox2);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setAccessibleName(QStringLiteral("Opis"));
    Memo2 = new QPlainTextEdit(GroupBox2);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setAccessibleName(QStringLiteral("Komentarz"));
    for (QPlainTextEdit *memo : {Memo1, Memo2}) {
        memo->setTabChangesFocus(true);
        memo->setFixedHeight(137);
        memos->addWidget(memo);
    }

    btnZapisz = new QPushButton(QStringLiteral("Zapisz"), this);
    btnZapisz->setObjectName(QStringLiteral("btnZapisz"));
    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    for (QPushButton *button : {btnZapisz, btnZamknij}) {
        button->setAutoDefault(false);
        useButtonKeys(button);
        button->setFixedWidth(121);
    }
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);

    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(GroupBox1);
    m_layout->addWidget(GroupBox2);
    for (int k = 0; k < 9; ++k)
        setTabOrder(Edits[k], Edits[k + 1]);
    setTabOrder(Edits[9], Memo1);
    setTabOrder(Memo1, Memo2);
}

void ItemForm::addButtons()
{
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnZapisz);
    buttons->addStretch();
    buttons->addWidget(btnZamknij);
    m_layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

ItemValues ItemForm::values() const
{
    ItemValues values;
    for (int k = 0; k < 10; ++k)
        values.fields[k] = Edits[k]->text();
    values.description = Memo1->toPlainText();
    values.comment = Memo2->toPlainText();
    return values;
}

QStringList ItemForm::fieldNames() const
{
    QStringList names;
    for (const QLabel *label : Labels)
        names.append(label->text());
    return names;
}

void ItemForm::setValues(const ItemValues &values)
{
    for (int k = 0; k < 10; ++k)
        Edits[k]->setText(values.fields.value(k));
    Memo1->setPlainText(values.description);
    Memo2->setPlainText(values.comment);
}

void ItemForm::showFieldNames(const ItemStore::Place &place)
{
    const ProfileFile file(place.itemFile());
    for (int k = 0; k < 10; ++k) {
        const QString name = file.ReadText(QStringLiteral("pozycje"), QString::number(k + 1), QString());
        Labels[k]->setText(name);
        Labels[k]->setVisible(!name.isEmpty());
        Edits[k]->setVisible(!name.isEmpty());
    }
}
