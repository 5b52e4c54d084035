#include "WebLinks.h"

#include <QDesktopServices>
#include <QPainter>
#include <QPixmap>

namespace {

// A small round badge with a letter: the pictures of the "Inne Dziejownik" entries.
QIcon badge(QColor colour, QChar letter)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(colour.darker(150));
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    QFont font = painter.font();
    font.setPixelSize(10);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, 0, 16, 16), Qt::AlignCenter, QString(letter));
    return QIcon(pixmap);
}

WebLinks::Link link(const char *caption, const char *objectName, const char *address, QIcon picture = {})
{
    return {QString::fromUtf8(caption), QString::fromLatin1(objectName), QUrl(QString::fromLatin1(address)),
            std::move(picture)};
}

} // namespace

namespace WebLinks {

Link homePage()
{
    return link("Strona domowa", "Stronadomowa1", "https://gromadnik.example/");
}

Link supportForum()
{
    return link("Pomoc techniczna", "Pomoctechniczna1", "https://forum.gromadnik.example/pomoc/");
}

Link recommended()
{
    return link("kolekcjonerzy.gromadnik.example", "kolekcjonerzygromadnikexample1",
                "https://kolekcjonerzy.gromadnik.example/");
}

QList<Link> otherSites()
{
    return {
        link("Forum dyskusyjne Dziejownika", "ForumdyskusyjneDziejownika1",
             "https://forum.dziejownik.gromadnik.example/", badge(QColor(0x8a, 0x7a, 0x3c), u'F')),
        link("Starożytność", "Staroytno1", "https://starozytnosc.dziejownik.gromadnik.example/",
             badge(QColor(0xb0, 0x6a, 0x2c), u'S')),
        link("Średniowiecze", "redniowiecze1", "https://sredniowiecze.dziejownik.gromadnik.example/",
             badge(QColor(0x5a, 0x6e, 0x3a), u'Ś')),
        link("Dawna Rzeczpospolita", "DawnaRzeczpospolita1", "https://rzeczpospolita.dziejownik.gromadnik.example/",
             badge(QColor(0xa0, 0x2c, 0x2c), u'R')),
        link("Wiek XIX", "WiekXIX1", "https://xix.dziejownik.gromadnik.example/",
             badge(QColor(0x3c, 0x5a, 0x8a), u'X')),
        link("Wojny światowe", "Wojnywiatowe1", "https://wojny.dziejownik.gromadnik.example/",
             badge(QColor(0x55, 0x55, 0x55), u'W')),
        link("Numizmatyka i falerystyka", "Numizmatykaifalerystyka1",
             "https://numizmatyka.dziejownik.gromadnik.example/", badge(QColor(0xc9, 0xa2, 0x27), u'N')),
    };
}

QUrl updatePage()
{
    return QUrl(QStringLiteral("https://gromadnik.example/aktualizacja.html"));
}

FtpEndpoint versionServer()
{
    return {QStringLiteral("ftp.gromadnik.example"), 21, QStringLiteral("gromad27"), QStringLiteral("wers42")};
}

void open(const QUrl &address)
{
    QDesktopServices::openUrl(address);
}

} // namespace WebLinks
