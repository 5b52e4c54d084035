#include "Info.h"

#include "Application.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TfrmInfo *frmInfo = nullptr;

namespace {

const char *aboutText = R"(<p><b>Gromadnik</b> – katalog kolekcjonera, wersja %1</p>
<p>Autor: zespół Gromadnika</p>
<p>E-mail: <a href="mailto:kontakt@gromadnik.example">kontakt@gromadnik.example</a><br>
Komunikator (XMPP): zespol@gromadnik.example<br>
Strona: <a href="https://gromadnik.example/">gromadnik.example</a></p>
<p>Uwagi i pomysły zgłaszaj na forum:<br>
<a href="https://forum.gromadnik.example/">forum.gromadnik.example</a></p>)";

const char *thanksText = "Dziękujemy wszystkim kolekcjonerom, którzy testowali kolejne wersje programu, "
                         "zgłaszali błędy i podsuwali pomysły.\n\n"
                         "Osobne podziękowania dla numizmatyków i falerystów z forum, którzy pomogli ułożyć "
                         "pierwsze katalogi monet i odznaczeń, oraz dla twórców bibliotek Qt i libjpeg, "
                         "na których program jest zbudowany.";

} // namespace

TfrmInfo::TfrmInfo(QWidget *parent)
    : Form(parent, "frmInfo", QStringLiteral("Gromadnik - o programie..."), Frame::Fixed)
{
    auto *title = new QLabel(QStringLiteral("GROMADNIK"), this);
    title->setObjectName(QStringLiteral("Label1"));
    QFont font = title->font();
    font.setBold(true);
    font.setPixelSize(19);
    title->setFont(font);
    QPalette palette = title->palette();
    palette.setColor(QPalette::WindowText, QColor(205, 190, 124));
    title->setPalette(palette);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    auto *about = new QLabel(QString::fromUtf8(aboutText).arg(Application::version));
    about->setObjectName(QStringLiteral("lblOProgramie"));
    about->setWordWrap(true);
    about->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    about->setOpenExternalLinks(true);
    about->setMargin(8);
    PageControl1->addTab(about, QStringLiteral("O programie"));
    auto *thanks = new QPlainTextEdit(QString::fromUtf8(thanksText));
    thanks->setObjectName(QStringLiteral("Memo1"));
    thanks->setAccessibleName(QStringLiteral("Podziękowania"));
    thanks->setReadOnly(true);
    PageControl1->addTab(thanks, QStringLiteral("Podziękowania dla..."));

    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    connect(btnZamknij, &QPushButton::clicked, this, &QDialog::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(title, 0, Qt::AlignHCenter);
    layout->addWidget(PageControl1, 1);
    layout->addWidget(btnZamknij, 0, Qt::AlignRight);
    setFixedSize(361, 293);
}
