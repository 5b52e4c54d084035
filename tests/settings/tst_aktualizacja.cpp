#include "TestFtpServer.h"
#include "app/Glowny.h"
#include "settings/Aktualizacja.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"
#include "support/WindowDriver.h"

#include <QAction>
#include <QDesktopServices>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>

namespace {

const QString notice = QStringLiteral("Nie udało się wczytać strony z informacjami o aktualizacjach.");
const QString loading = QStringLiteral("Wczytywanie strony…");

QString shownText()
{
    return frmAktualizacja->CppWebBrowser1->toPlainText();
}

} // namespace

class TestAktualizacja : public QObject
{
    Q_OBJECT

public slots:
    void browse(const QUrl &address) { m_opened.append(address); }

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startsAsDesigned();
    void showsThePageInItsOwnEncoding_data();
    void showsThePageInItsOwnEncoding();
    void reloadsThePageAtEveryShowing();
    void pageThatCannotBeLoadedShowsANotice_data();
    void pageThatCannotBeLoadedShowsANotice();
    void linksOpenInTheBrowser();
    void menuOpensTheWindow();

private:
    void showPage(const QUrl &address);

    ScriptedDialogs m_dialogs;
    TestDir m_dir;
    QList<QUrl> m_opened;
};

void TestAktualizacja::initTestCase()
{
    makeWindows(m_dir.path());
}

void TestAktualizacja::init()
{
    m_opened.clear();
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "browse");
}

void TestAktualizacja::cleanup()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    frmAktualizacja->hide();
}

void TestAktualizacja::showPage(const QUrl &address)
{
    frmAktualizacja->setPageAddress(address);
    frmAktualizacja->show();
    QTRY_VERIFY(!shownText().startsWith(loading));
}

void TestAktualizacja::startsAsDesigned()
{
    QCOMPARE(frmAktualizacja->windowTitle(), QStringLiteral("Gromadnik - Aktualizacja"));
    QCOMPARE(frmAktualizacja->palette().color(QPalette::Window), QColor(221, 216, 179));
    QCOMPARE(frmAktualizacja->Label1->text(), QStringLiteral("Aktualna wersja programu to:"));
    QCOMPARE(frmAktualizacja->Label1->font().pixelSize(), 13);
    QCOMPARE(frmAktualizacja->Label2->text(), QStringLiteral("0.2.9"));
    QCOMPARE(frmAktualizacja->Label2->font().pixelSize(), 13);
    QVERIFY(frmAktualizacja->Label2->font().bold());
    QCOMPARE(frmAktualizacja->Label2->palette().color(QPalette::WindowText), QColor(Qt::red));
    QCOMPARE(frmAktualizacja->btnZamknij->text(), QStringLiteral("Zamknij"));
    QCOMPARE(frmAktualizacja->btnZamknij->toolTip(), QStringLiteral("Zamyka to okno"));

    showPage(QUrl::fromLocalFile(m_dir.file("brak.html")));
    QCOMPARE(frmAktualizacja->size(), QSize(350, 151));
    QCOMPARE(frmAktualizacja->CppWebBrowser1->size(), QSize(337, 81));
    QVERIFY(frmAktualizacja->Label2->x() > frmAktualizacja->Label1->geometry().right());
    QVERIFY(frmAktualizacja->CppWebBrowser1->y() > frmAktualizacja->Label1->geometry().bottom());
    QVERIFY(frmAktualizacja->btnZamknij->y() > frmAktualizacja->CppWebBrowser1->geometry().bottom());
    QVERIFY(qAbs(frmAktualizacja->btnZamknij->geometry().center().x() - 175) <= 1);
}

void TestAktualizacja::showsThePageInItsOwnEncoding_data()
{
    QTest::addColumn<QByteArray>("page");
    QTest::newRow("UTF-8, declared") << QByteArray(
        "<html><head><meta charset=\"utf-8\"></head><body><p>Nowa wersja: źdźbło</p></body></html>");
    QTest::newRow("UTF-8, not declared") << QByteArray("<p>Nowa wersja: źdźbło</p>");
    QTest::newRow("Windows-1250, declared")
        << QByteArray("<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1250\">"
                      "</head><body><p>Nowa wersja: \x9f"
                      "d\x9f"
                      "b\xb3o</p></body></html>");
}

void TestAktualizacja::showsThePageInItsOwnEncoding()
{
    QFETCH(QByteArray, page);
    m_dir.write("strona.html", page);
    const QUrl address = QUrl::fromLocalFile(m_dir.file("strona.html"));
    showPage(address);
    QVERIFY2(shownText().contains(QStringLiteral("Nowa wersja: źdźbło")), qPrintable(shownText()));
    QVERIFY(frmAktualizacja->CppWebBrowser1->toHtml().contains(address.toString(QUrl::FullyEncoded)));
    QVERIFY(!shownText().contains(notice));
}

void TestAktualizacja::reloadsThePageAtEveryShowing()
{
    m_dir.write("strona.html", "<p>Najnowsza wersja to 0.3.0</p>");
    showPage(QUrl::fromLocalFile(m_dir.file("strona.html")));
    QVERIFY(shownText().contains(QStringLiteral("0.3.0")));
    frmAktualizacja->hide();
    m_dir.write("strona.html", "<p>Najnowsza wersja to 0.3.1</p>");
    frmAktualizacja->show();
    QTRY_VERIFY(shownText().contains(QStringLiteral("0.3.1")));
}

void TestAktualizacja::pageThatCannotBeLoadedShowsANotice_data()
{
    QTest::addColumn<QUrl>("address");
    QTest::newRow("missing file") << QUrl::fromLocalFile(m_dir.file("brak.html"));
    const FtpEndpoint nobody = refusingEndpoint();
    QTest::newRow("refused connection") << QUrl(
        QStringLiteral("http://127.0.0.1:%1/aktualizacja.html").arg(nobody.port));
}

void TestAktualizacja::pageThatCannotBeLoadedShowsANotice()
{
    QFETCH(QUrl, address);
    showPage(address);
    QVERIFY2(shownText().startsWith(notice), qPrintable(shownText()));
    QVERIFY(frmAktualizacja->CppWebBrowser1->toHtml().contains(address.toString(QUrl::FullyEncoded)));
    QVERIFY(m_dialogs.shown.isEmpty());
}

void TestAktualizacja::linksOpenInTheBrowser()
{
    m_dir.write("strona.html", "<p><a href=\"zmiany.html\">Lista zmian</a></p>");
    const QUrl address = QUrl::fromLocalFile(m_dir.file("strona.html"));
    showPage(address);
    emit frmAktualizacja->CppWebBrowser1->anchorClicked(QUrl(QStringLiteral("zmiany.html")));
    emit frmAktualizacja->CppWebBrowser1->anchorClicked(address);
    QCOMPARE(m_opened, QList<QUrl>({QUrl::fromLocalFile(m_dir.file("zmiany.html")), address}));
    QVERIFY(shownText().contains(QStringLiteral("Lista zmian"))); // the window itself does not navigate
}

void TestAktualizacja::menuOpensTheWindow()
{
    frmAktualizacja->setPageAddress(QUrl::fromLocalFile(m_dir.file("brak.html")));
    bool wasModal = false;
    whenShown(frmAktualizacja, [&] {
        wasModal = frmAktualizacja->isModal();
        QTest::mouseClick(frmAktualizacja->btnZamknij, Qt::LeftButton);
    });
    frmGlowny->findChild<QAction *>(QStringLiteral("Aktualizacja1"))->trigger();
    QVERIFY(wasModal);
    QVERIFY(!frmAktualizacja->isVisible());
}

QTEST_MAIN(TestAktualizacja)
#include "tst_aktualizacja.moc"
