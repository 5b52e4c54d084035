#include "Pozycje.h"

#include "Command.h"
#include "Dialogs.h"
#include "Glowny.h"
#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "store/DataDirectory.h"
#include "store/Error.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmPozycje *frmPozycje = nullptr;

namespace {

QLabel *label(QWidget *parent, const QString &text, const char *objectName)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(QLatin1String(objectName));
    return result;
}

QLabel *boldRed(QLabel *label)
{
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, Qt::red);
    label->setPalette(palette);
    return label;
}

} // namespace

TfrmPozycje::TfrmPozycje(QWidget *parent)
    : Form(parent, "frmPozycje", QStringLiteral("Gromadnik - edycja nazw pozycji"), Frame::FixedMinimizable)
{
    auto *grid = new QGridLayout(this);
    grid->addWidget(
        label(this, QStringLiteral("Korzystając z tego formularza możesz określić nazwy pól, które"), "Label1"), 0, 0,
        1, 2);
    grid->addWidget(label(this, QStringLiteral("będą służyć do opisywania przedmiotów w dziale:"), "Label2"), 1, 0, 1,
                    2);
    auto *names = new QHBoxLayout;
    lblKategoria = boldRed(label(this, QString(), "lblKategoria"));
    lblPodkategoria = boldRed(label(this, QString(), "lblPodkategoria"));
    names->addWidget(lblKategoria);
    names->addWidget(boldRed(label(this, QStringLiteral("-->"), "Label3")));
    names->addWidget(lblPodkategoria);
    names->addStretch();
    grid->addLayout(names, 2, 0, 1, 2);

    for (int k = 1; k <= 10; ++k) {
        const QByteArray labelName = "Label" + QByteArray::number(k + 3);
        QLabel *caption = label(this, QStringLiteral("Pozycja %1").arg(k), labelName.constData());
        auto *box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Edit%1").arg(k));
        caption->setBuddy(box);
        useFieldKeys(box);
        QPalette palette = box->palette();
        palette.setColor(QPalette::Disabled, QPalette::Base, scrollBarColour());
        box->setPalette(palette);
        grid->addWidget(caption, k + 2, 0);
        grid->addWidget(box, k + 2, 1);
        Edits.append(box);
        if (k < 10)
            connect(box, &QLineEdit::textChanged, this, [this, k] { EditChange(k); });
    }
    for (int k = 2; k <= 10; ++k)
        EditChange(k - 1);

    btnZapisz = new QPushButton(QStringLiteral("Zapisz"), this);
    btnZapisz->setObjectName(QStringLiteral("btnZapisz"));
    btnZapisz->setToolTip(QStringLiteral("Zapisuje nazwy"));
    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    btnZamknij->setToolTip(QStringLiteral("Zamyka to okno"));
    for (QPushButton *button : {btnZapisz, btnZamknij}) {
        button->setAutoDefault(false);
        useButtonKeys(button);
    }
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnZapisz);
    buttons->addWidget(btnZamknij);
    grid->setRowStretch(13, 1);
    grid->addLayout(buttons, 14, 0, 1, 2);

    for (int k = 0; k < 9; ++k)
        setTabOrder(Edits[k], Edits[k + 1]);
    setTabOrder(Edits[9], btnZapisz);
    setTabOrder(btnZapisz, btnZamknij);

    connectCommand(btnZapisz, &QPushButton::clicked, this, &TfrmPozycje::btnZapiszClick);
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);
    setFixedSize(qMax(357, sizeHint().width()), qMax(441, sizeHint().height()));
}

QColor TfrmPozycje::scrollBarColour()
{
    return QColor(200, 200, 200);
}

QString TfrmPozycje::itemFile() const
{
    return CatalogueFiles::itemFile(DataDirectory::path(), frmGlowny->panelText(0), frmGlowny->panelText(1));
}

void TfrmPozycje::FormShow()
{
    const ProfileFile file(itemFile());
    for (int k = 1; k <= 10; ++k)
        Edits[k - 1]->setText(file.ReadText(QStringLiteral("pozycje"), QString::number(k), QString()));
    lblKategoria->setText(frmGlowny->panelText(0));
    lblPodkategoria->setText(frmGlowny->panelText(1));
}

void TfrmPozycje::EditChange(int box)
{
    Edits[box]->setEnabled(!Edits[box - 1]->text().isEmpty());
}

void TfrmPozycje::btnZapiszClick()
{
    if (Edits[0]->text().isEmpty()) {
        Dialogs::information(this, QStringLiteral("Musisz wypełnić przynajmniej jedno pole"));
        Edits[0]->setFocus();
        return;
    }
    // A name that cannot be stored is refused before any is written.
    for (QLineEdit *box : std::as_const(Edits)) {
        if (const QString problem = Codepage::unencodableMessage(box->text()); !problem.isEmpty())
            throw AppError(problem);
    }
    // One atomic write: a full disk leaves the old names, never some of the new ones.
    ProfileFile(itemFile()).Edit([&](ProfileEdit &edit) {
        for (int k = 1; k <= 10; ++k)
            edit.WriteText(QStringLiteral("pozycje"), QString::number(k), Edits[k - 1]->text());
    });
    Dialogs::information(this, QStringLiteral("Wprowadzone dane zostały zapisane pomyślnie."));
}
