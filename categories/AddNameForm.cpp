#include "AddNameForm.h"

#include "app/Command.h"
#include "app/Dialogs.h"
#include "store/CatalogueFiles.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AddNameForm::AddNameForm(QWidget *parent, const char *objectName, const QString &caption, const QString &groupCaption,
                         QSize clientSize)
    : Form(parent, objectName, caption, Frame::FixedWithoutClose)
{
    auto *group = new QGroupBox(groupCaption, this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    txtNazwa = new QLineEdit(group);
    txtNazwa->setObjectName(QStringLiteral("txtNazwa"));
    txtNazwa->setAccessibleName(groupCaption);
    btnDodaj = new QPushButton(QStringLiteral("Dodaj"), group);
    btnDodaj->setObjectName(QStringLiteral("btnDodaj"));
    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), group);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    btnZamknij->setAutoDefault(false);
    btnDodaj->setDefault(true);

    auto *inner = new QVBoxLayout(group);
    inner->addWidget(txtNazwa);
    inner->addWidget(btnDodaj);
    inner->addWidget(btnZamknij);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(group);
    setTabOrder(txtNazwa, btnDodaj);
    setTabOrder(btnDodaj, btnZamknij);
    setFixedSize(clientSize.expandedTo(sizeHint()));

    connect(btnDodaj, &QPushButton::clicked, this, [this] { runCommand([this] { btnDodajClick(); }); });
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);
}

void AddNameForm::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    txtNazwa->setFocus();
}

std::optional<QString> AddNameForm::acceptedName(const QString &emptyMessage)
{
    const QString name = txtNazwa->text();
    if (name.isEmpty()) {
        Dialogs::information(this, emptyMessage);
        return std::nullopt;
    }
    if (const QString problem = CatalogueFiles::nameProblem(name); !problem.isEmpty()) {
        Dialogs::information(this, problem);
        txtNazwa->setFocus();
        return std::nullopt;
    }
    return name;
}
