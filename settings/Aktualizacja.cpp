#include "Aktualizacja.h"

#include "app/Application.h"
#include "app/Command.h"
#include "app/WebLinks.h"

#include <QLabel>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QStringDecoder>
#include <QTextBrowser>
#include <QVBoxLayout>

TfrmAktualizacja *frmAktualizacja = nullptr;

namespace {

QLabel *makeLabel(QWidget *parent, const char *objectName, const QString &text, bool emphasised)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QLatin1String(objectName));
    QFont font = label->font();
    font.setPixelSize(13);
    font.setBold(emphasised);
    label->setFont(font);
    if (emphasised) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, Qt::red);
        label->setPalette(palette);
    }
    return label;
}

QString linkTo(const QUrl &address)
{
    return QStringLiteral("<p><a href=\"%1\">Otwórz tę stronę w przeglądarce</a></p>")
        .arg(address.toString(QUrl::FullyEncoded).toHtmlEscaped());
}

QString decodePage(const QByteArray &bytes)
{
    QStringDecoder decoder = QStringDecoder::decoderForHtml(bytes);
    if (!decoder.isValid())
        decoder = QStringDecoder(QStringDecoder::Utf8);
    return decoder.decode(bytes);
}

} // namespace

TfrmAktualizacja::TfrmAktualizacja(QWidget *parent)
    : Form(parent, "frmAktualizacja", QStringLiteral("Gromadnik - Aktualizacja"), Frame::FixedMinimizable),
      m_address(WebLinks::updatePage()), m_network(new QNetworkAccessManager(this))
{
    Label1 = makeLabel(this, "Label1", QStringLiteral("Aktualna wersja programu to:"), false);
    Label2 = makeLabel(this, "Label2", Application::version, true);
    CppWebBrowser1 = new QTextBrowser(this);
    CppWebBrowser1->setObjectName(QStringLiteral("CppWebBrowser1"));
    CppWebBrowser1->setAccessibleName(QStringLiteral("Informacje o aktualizacjach"));
    CppWebBrowser1->setOpenLinks(false);
    CppWebBrowser1->setFixedSize(337, 81);
    btnZamknij = new QPushButton(QStringLiteral("Zamknij"), this);
    btnZamknij->setObjectName(QStringLiteral("btnZamknij"));
    btnZamknij->setToolTip(QStringLiteral("Zamyka to okno"));

    auto *labels = new QHBoxLayout;
    labels->addWidget(Label1);
    labels->addWidget(Label2);
    labels->addStretch();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(labels);
    layout->addWidget(CppWebBrowser1, 0, Qt::AlignHCenter);
    layout->addWidget(btnZamknij, 0, Qt::AlignHCenter);
    setFixedSize(350, 151);

    connect(CppWebBrowser1, &QTextBrowser::anchorClicked, this, &TfrmAktualizacja::openLink);
    connectCommand(btnZamknij, &QPushButton::clicked, this, &TfrmAktualizacja::btnZamknijClick);
}

void TfrmAktualizacja::FormShow()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
        m_reply->deleteLater();
    }
    CppWebBrowser1->setHtml(QStringLiteral("<p>Wczytywanie strony…</p>"));
    QNetworkRequest request(m_address);
    request.setTransferTimeout(15'000);
    m_reply = m_network->get(request);
    QNetworkReply *reply = m_reply;
    connect(reply, &QNetworkReply::finished, this, [this, reply] { showPage(reply); });
}

void TfrmAktualizacja::showPage(QNetworkReply *reply)
{
    reply->deleteLater();
    m_reply = nullptr;
    if (reply->error() != QNetworkReply::NoError) {
        CppWebBrowser1->setHtml(QStringLiteral("<p>Nie udało się wczytać strony z informacjami o aktualizacjach.</p>") +
                                linkTo(m_address));
        return;
    }
    CppWebBrowser1->document()->setBaseUrl(reply->url());
    CppWebBrowser1->setHtml(decodePage(reply->readAll()));
    CppWebBrowser1->append(linkTo(reply->url()));
}

// Relative links lead to the maker's site, not into this window.
void TfrmAktualizacja::openLink(const QUrl &link)
{
    WebLinks::open(m_address.resolved(link));
}

void TfrmAktualizacja::btnZamknijClick()
{
    close();
}
