#include "exchange/Report.h"
#include "items/ItemStore.h"
#include "search/CatalogueSearch.h"
#include "store/Error.h"
#include "support/PdfText.h"
#include "support/TestCatalogue.h"
#include "support/TestPictures.h"

#include <QRegularExpression>
#include <QTest>

namespace {

const QString polish = QStringLiteral("ąćęłńóśźż ĄĆĘŁŃÓŚŹŻ");

QStringList item(const QString &name, const QString &year)
{
    return {name, year, {}, {}, {}, {}, {}, {}, {}, {}, {}, {}};
}

const QString category = QStringLiteral("Monety");
const QString subcategory = QStringLiteral("Polska");

// A subcategory of `count` items named "Moneta <n>", with fields "Nazwa" and "Rok".
void writeCoins(const TestDir &dir, int count)
{
    TestSubcategory coins{category, subcategory, {QStringLiteral("Nazwa"), QStringLiteral("Rok")}, {}};
    for (int n = 0; n < count; ++n)
        coins.items << item(QStringLiteral("Moneta %1").arg(n), QString::number(1900 + n));
    writeCatalogue(dir, {coins});
}

QList<int> numbers(int count)
{
    QList<int> all;
    for (int n = 0; n < count; ++n)
        all << n;
    return all;
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void pdfHoldsTheListAsShown_data();
    void pdfHoldsTheListAsShown();
    void htmlKeepsValuesAsTyped_data();
    void htmlKeepsValuesAsTyped();
    void thumbnailsWhereAsked_data();
    void thumbnailsWhereAsked();
    void searchResultSpansSubcategories_data();
    void searchResultSpansSubcategories();
    void failedWriteIsToldInPolish_data();
    void failedWriteIsToldInPolish();
};

void TestReport::pdfHoldsTheListAsShown_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QList<int>>("order");
    QTest::addColumn<bool>("severalPages");
    QTest::newRow("sorted backwards") << 3 << QList<int>{2, 0, 1} << false;
    QTest::newRow("filtered") << 5 << QList<int>{4, 1} << false;
    QTest::newRow("many pages") << 150 << numbers(150) << true;
}

void TestReport::pdfHoldsTheListAsShown()
{
    QFETCH(int, count);
    QFETCH(QList<int>, order);
    QFETCH(bool, severalPages);
    const TestDir dir;
    writeCoins(dir, count);
    // The letters in a name of the catalogue and in a value, where the report's font has to carry them.
    ItemStore::save({dir.path(), category, subcategory}, order.first(),
                    {QStringList{polish, QStringLiteral("1924")}, QString(), QString(), QString()});

    const Report::Content content = Report::ofSubcategory(dir.path(), category, subcategory, order);
    Report::savePdf(content, {}, dir.file(QStringLiteral("raport.pdf")));
    const QString text = pdfText(dir.file(QStringLiteral("raport.pdf")));

    QVERIFY2(text.contains(QStringLiteral("Monety – Polska")), qPrintable(text));
    QStringList expected{QStringLiteral("Nazwa"), QStringLiteral("Rok"), polish};
    for (const int n : order.mid(1))
        expected << QStringLiteral("Moneta %1").arg(n) << QString::number(1900 + n);
    QVERIFY2(inOrder(text, expected), qPrintable(text));
    for (int n = 0; n < count; ++n)
        QCOMPARE(text.contains(QRegularExpression(QStringLiteral("Moneta %1\\b").arg(n))),
                 order.mid(1).contains(n));

    const QRegularExpression pageNumber(QStringLiteral("Strona (\\d+) z (\\d+)"));
    QList<int> pages;
    int total = 0;
    for (auto match = pageNumber.globalMatch(text); match.hasNext();) {
        const auto m = match.next();
        pages << m.captured(1).toInt();
        total = m.captured(2).toInt();
    }
    QCOMPARE(pages, numbers(total + 1).mid(1));
    QCOMPARE(total > 1, severalPages);
}

void TestReport::htmlKeepsValuesAsTyped_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("unexpected");
    QTest::newRow("markup") << QStringLiteral("<b>Złoto</b> & \"srebro\" 'x'") << QString()
                            << QStringLiteral("&lt;b&gt;Złoto&lt;/b&gt; &amp; &quot;srebro&quot; &#39;x&#39;")
                            << QStringLiteral("<b>");
    QTest::newRow("lines") << QStringLiteral("x") << QStringLiteral("Pierwsza linia\nDruga <linia>")
                           << QStringLiteral("Pierwsza linia<br>Druga &lt;linia&gt;") << QStringLiteral("<linia>");
    QTest::newRow("no description, no column") << QStringLiteral("x") << QString() << QStringLiteral("<td>x</td>")
                                               << QStringLiteral("<th>Opis</th>");
}

void TestReport::htmlKeepsValuesAsTyped()
{
    QFETCH(QString, value);
    QFETCH(QString, description);
    QFETCH(QString, expected);
    QFETCH(QString, unexpected);
    const TestDir dir;
    writeCoins(dir, 1);
    ItemStore::save({dir.path(), category, subcategory}, 0, {QStringList{value}, description, QString(), QString()});

    const Report::Content content = Report::ofSubcategory(dir.path(), category, subcategory, {0});
    Report::saveHtml(content, {}, dir.file(QStringLiteral("raport.html")));
    const QString html = QString::fromUtf8(dir.read(QStringLiteral("raport.html")));
    QVERIFY2(html.contains(expected), qPrintable(html));
    QVERIFY2(!html.contains(unexpected), qPrintable(html));
    QCOMPARE(html.contains(QStringLiteral("<th>Opis</th>")), !description.isEmpty());
}

void TestReport::thumbnailsWhereAsked_data()
{
    QTest::addColumn<bool>("thumbnails");
    QTest::addColumn<QStringList>("photos"); // of each item: a picture made, "missing", or none
    QTest::addColumn<int>("images");
    QTest::newRow("asked") << true << QStringList{"a.jpg", "b.jpg", "c.jpg"} << 3;
    QTest::newRow("not asked") << false << QStringList{"a.jpg", "b.jpg", "c.jpg"} << 0;
    QTest::newRow("missing and none") << true << QStringList{"a.jpg", "missing", ""} << 1;
}

void TestReport::thumbnailsWhereAsked()
{
    QFETCH(bool, thumbnails);
    QFETCH(QStringList, photos);
    QFETCH(int, images);
    const TestDir dir;
    writeCoins(dir, int(photos.size()));
    for (int n = 0; n < photos.size(); ++n) {
        if (photos[n].isEmpty())
            continue;
        const QString picture = dir.file(photos[n]);
        if (photos[n] != QLatin1String("missing"))
            writeJpeg(picture, quarters(40 + 20 * n, 60));
        ItemStore::addPhoto({dir.path(), category, subcategory}, n, picture);
    }

    const Report::Content content = Report::ofSubcategory(dir.path(), category, subcategory, numbers(3));
    const Report::Options options{thumbnails, QDate(2026, 12, 10)};
    Report::saveHtml(content, options, dir.file(QStringLiteral("raport.html")));
    Report::savePdf(content, options, dir.file(QStringLiteral("raport.pdf")));
    const QString html = QString::fromUtf8(dir.read(QStringLiteral("raport.html")));
    QCOMPARE(html.count(QStringLiteral("<img src=\"data:image/png;base64,")), images);
    QCOMPARE(html.count(QStringLiteral("<td></td>")), thumbnails ? 3 - images : 0);
    QCOMPARE(pdfImages(dir.file(QStringLiteral("raport.pdf"))), images);
    QVERIFY(html.contains(QStringLiteral("10 grudnia 2026")));
}

void TestReport::searchResultSpansSubcategories_data()
{
    QTest::addColumn<QStringList>("otherNames");
    QTest::addColumn<QStringList>("headers");
    QTest::newRow("names alike") << QStringList{"Nazwa", "Rok"}
                                 << QStringList{"Kategoria", "Podkategoria", "Nazwa", "Rok"};
    QTest::newRow("names differ") << QStringList{"Tytuł", "", "Autor"}
                                  << QStringList{"Kategoria", "Podkategoria", "Pole 1", "Pole 2", "Pole 3"};
}

void TestReport::searchResultSpansSubcategories()
{
    QFETCH(QStringList, otherNames);
    QFETCH(QStringList, headers);
    const TestDir dir;
    TestSubcategory coins{category, subcategory, {QStringLiteral("Nazwa"), QStringLiteral("Rok")}, {}};
    coins.items << item(QStringLiteral("Orzeł srebrny"), QStringLiteral("1932"))
                << item(QStringLiteral("Grosz"), QStringLiteral("1923"));
    TestSubcategory books{QStringLiteral("Książki"), QStringLiteral("Stare"), otherNames, {}};
    // Found twice (in two of its fields), reported once.
    books.items << QStringList{QStringLiteral("Srebrny glob"), {}, QStringLiteral("Srebrny"), {}, {}, {}, {}, {}, {}, {}, {}, {}};
    writeCatalogue(dir, {coins, books});

    CatalogueSearch search;
    QList<SearchHit> hits;
    search.run(dir.path(), {QStringLiteral("srebrn"), SearchQuery::Scope::AllFields, {}}, [&](QList<SearchHit> &&batch) { hits += batch; });
    const Report::Content content = Report::ofSearch(dir.path(), QStringLiteral("srebrn"), hits);
    QStringList shown = content.headers;
    if (content.placeColumns)
        shown = QStringList{QStringLiteral("Kategoria"), QStringLiteral("Podkategoria")} + shown;
    QCOMPARE(shown, headers);
    QCOMPARE(content.rows.size(), 2);
    QCOMPARE(content.rows[0].values.first(), QStringLiteral("Orzeł srebrny"));
    QCOMPARE(content.rows[1].category, QStringLiteral("Książki"));
    QVERIFY(content.title.contains(QStringLiteral("srebrn")));
    QVERIFY(content.summary.contains(QStringLiteral("2")));
}

void TestReport::failedWriteIsToldInPolish_data()
{
    QTest::addColumn<bool>("pdf");
    QTest::newRow("HTML") << false;
    QTest::newRow("PDF") << true;
}

void TestReport::failedWriteIsToldInPolish()
{
    QFETCH(bool, pdf);
    const TestDir dir;
    writeCoins(dir, 2);
    const Report::Content content = Report::ofSubcategory(dir.path(), category, subcategory, {0, 1});
    const QString target = dir.file(QStringLiteral("brak/raport"));
    try {
        pdf ? Report::savePdf(content, {}, target) : Report::saveHtml(content, {}, target);
        QFAIL("no error");
    } catch (const AppError &error) {
        QVERIFY2(error.message().contains(QStringLiteral("Nie można zapisać raportu w pliku ") + target),
                 qPrintable(error.message()));
    }
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
