#include "AddNameForm.h"

#include "app/Command.h"
#include "app/Dialogs.h"

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

AddNameForm::AddNameForm(QWidget *parent, const char *objectName, const QString &caption, const QString &groupCaption,
                         QSize clientSize, const QString &actionCaption, const char *actionName)
    : Form(parent, objectName, caption, Frame::FixedWithoutClose)
{
    auto *group = new QGroupBox(groupCaption, this);
    group->setObjectName(QStringLiteral("GroupBox1"));
    txtNazwa = new QLineEdit(group);
    txtNazwa->setObjectName(QStringLiteral("txtNazwa"));
    txtNazwa->setAccessibleName(groupCaption);
    btnAction = new QPushButton(actionCaption, group);
    btnAction->setObjectName(QLatin1String(actionName));
    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), group);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    btnZamknij->setAutoDefault(false);
    btnAction->setDefault(true);

    auto *inner = new QVBoxLayout(group);
    inner->addWidget(txtNazwa);
    inner->addWidget(btnAction);
    inner->addWidget(btnZamknij);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(group);
    setTabOrder(txtNazwa, btnAction);
    setTabOrder(btnAction, btnZamknij);
    setFixedSize(clientSize.expandedTo(sizeHint()));

    connect(btnAction, &QPushButton::clicked, this, [this] { runCommand([this] { actionClick(); }); });
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);
}

void AddNameForm::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    txtNazwa->setFocus();
}

std::optional<QString> AddNameForm::acceptedName(const QString &emptyMessage,
                                                 const std::function<QString(const QString &)> &problemOf,
                                                 const QString &nothingDone)
{
    const QString name = txtNazwa->text();
    if (name.isEmpty()) {
        Dialogs::information(this, emptyMessage);
        return std::nullopt;
    }
    if (const QString problem = problemOf(name); !problem.isEmpty()) {
        refuse(problem, nothingDone);
        txtNazwa->setFocus();
        return std::nullopt;
    }
    return name;
}

void AddNameForm::refuse(const QString &problem, const QString &nothingDone)
{
    Dialogs::information(this, problem + QLatin1Char('\n') + nothingDone);
}
