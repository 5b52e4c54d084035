#include "Raport.h"

#include "app/Command.h"
#include "app/Dialogs.h"

#include <QCheckBox>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

TfrmRaport *frmRaport = nullptr;

namespace {

QPushButton *button(QWidget *parent, const QString &caption, const char *objectName)
{
    auto *made = new QPushButton(caption, parent);
    made->setObjectName(QLatin1String(objectName));
    useButtonKeys(made);
    return made;
}

// A file name may not hold what a subcategory's name may.
QString fileNameFrom(QString name)
{
    static const QString forbidden = QStringLiteral("/\\:*?\"<>|");
    for (QChar &c : name)
        if (forbidden.contains(c) || c < QLatin1Char(' '))
            c = QLatin1Char('_');
    return name;
}

} // namespace

TfrmRaport::TfrmRaport(QWidget *parent) : Form(parent, "frmRaport", QStringLiteral("Gromadnik - Raport"), Frame::Fixed)
{
    lblCo = new QLabel(this);
    lblCo->setObjectName(QStringLiteral("lblCo"));
    // A description, not a name: a name would hide the label's text from screen readers.
    lblCo->setAccessibleDescription(QStringLiteral("Zawartość raportu"));
    lblCo->setWordWrap(true);
    chkMiniatury = new QCheckBox(QStringLiteral("Miniatury zdjęć"), this);
    chkMiniatury->setObjectName(QStringLiteral("chkMiniatury"));
    btnHtml = button(this, QStringLiteral("Zapisz jako HTML…"), "btnHtml");
    btnPdf = button(this, QStringLiteral("Zapisz jako PDF…"), "btnPdf");
    btnDrukuj = button(this, QStringLiteral("Drukuj…"), "btnDrukuj");
    btnZamknij = button(this, QStringLiteral("Zamknij"), "btnZamknij");

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnHtml);
    buttons->addWidget(btnPdf);
    buttons->addWidget(btnDrukuj);
    buttons->addStretch(1);
    buttons->addWidget(btnZamknij);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Raport:"), this));
    layout->addWidget(lblCo);
    layout->addWidget(chkMiniatury);
    layout->addStretch(1);
    layout->addLayout(buttons);
    setMinimumWidth(480);

    connectCommand(btnHtml, &QPushButton::clicked, this, &TfrmRaport::btnHtmlClick);
    connectCommand(btnPdf, &QPushButton::clicked, this, &TfrmRaport::btnPdfClick);
    connectCommand(btnDrukuj, &QPushButton::clicked, this, &TfrmRaport::btnDrukujClick);
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);
}

void TfrmRaport::setReport(const Report::Content &content, const QString &what)
{
    m_content = content;
    m_what = what;
    lblCo->setText(QStringLiteral("%1 (%2)").arg(what, content.summary.toLower()));
}

Report::Options TfrmRaport::options() const
{
    return {chkMiniatury->isChecked(), QDate::currentDate()};
}

QString TfrmRaport::chooseFile(const QString &caption, const QString &filter, const QString &extension)
{
    const QString proposed = QDir::home().filePath(fileNameFrom(QStringLiteral("Raport - ") + m_what) + extension);
    QString name = Dialogs::current().saveFileName(this, {caption, filter, proposed, false});
    if (!name.isEmpty() && QFileInfo(name).suffix().isEmpty())
        name += extension;
    return name;
}

void TfrmRaport::btnHtmlClick()
{
    const QString name =
        chooseFile(QStringLiteral("Zapisz raport jako HTML"), QStringLiteral("Strony HTML (*.html *.htm)"), ".html");
    if (name.isEmpty())
        return;
    Report::saveHtml(m_content, options(), name);
    Dialogs::information(this, QStringLiteral("Raport został zapisany w pliku %1.").arg(name));
}

void TfrmRaport::btnPdfClick()
{
    const QString name =
        chooseFile(QStringLiteral("Zapisz raport jako PDF"), QStringLiteral("Dokumenty PDF (*.pdf)"), ".pdf");
    if (name.isEmpty())
        return;
    Report::savePdf(m_content, options(), name);
    Dialogs::information(this, QStringLiteral("Raport został zapisany w pliku %1.").arg(name));
}

void TfrmRaport::btnDrukujClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(Report::pageLayout(m_content));
    printer.setDocName(QStringLiteral("Raport - ") + m_what);
    if (!Dialogs::current().print(this, printer))
        return;
    Report::render(m_content, options(), &printer);
}
