#include "store/CatalogueFiles.h"
#include "support/TestFiles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTest>

namespace {

// "X:Y_Z,W|X_Y": categories separated by "|", each followed by its subcategories.
QList<CatalogueFiles::CategoryNames> parseCatalogue(const QString &text)
{
    QList<CatalogueFiles::CategoryNames> catalogue;
    for (const QString &category : text.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        const QStringList parts = category.split(QLatin1Char(':'));
        catalogue.append(
            {parts[0], parts.size() > 1 ? parts[1].split(QLatin1Char(','), Qt::SkipEmptyParts) : QStringList()});
    }
    return catalogue;
}

} // namespace

class TestCatalogueFiles : public QObject
{
    Q_OBJECT

private slots:
    void fileNamesArePlainConcatenation();
    void acceptedNames_data();
    void acceptedNames();
    void refusedNames_data();
    void refusedNames();
    void namesTogether_data();
    void namesTogether();
    void longestNamesFitTheFileSystem();
    void namesTogetherScale();
    void keyedListReadsExactlyTheCounter();
    void workedExampleIsWhatTheWritesLeave();

private:
    TestDir m_dir;
};

void TestCatalogueFiles::fileNamesArePlainConcatenation()
{
    const QString d = QStringLiteral("C:\\Program Files\\Gromadnik\\");
    QCOMPARE(CatalogueFiles::categoryList(d), d + "kategorie.gmd");
    QCOMPARE(CatalogueFiles::subcategoryList(d, "Monety"), d + "Monety_podkategorie.gmd");
    QCOMPARE(CatalogueFiles::itemFile(d, "Monety", "Polska"), d + "Monety_Polska_dane.gmd");
    QCOMPARE(CatalogueFiles::photoList(d, "Monety", "Polska", 12), d + "Monety_Polska_12.gmd");
    QCOMPARE(CatalogueFiles::photoList(d, "Monety", "Polska", 0), d + "Monety_Polska_0.gmd");
    // No subcategory chosen, a path without its closing separator, two names that meet in one file.
    QCOMPARE(CatalogueFiles::itemFile(d, "Monety", ""), d + "Monety__dane.gmd");
    QCOMPARE(CatalogueFiles::categoryList("D:\\Kolekcja"), QStringLiteral("D:\\Kolekcjakategorie.gmd"));
    QCOMPARE(CatalogueFiles::itemFile(d, "A_B", "C"), CatalogueFiles::itemFile(d, "A", "B_C"));
}

void TestCatalogueFiles::acceptedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "Monety";
    QTest::newRow("Polish") << "Odznaczenia żołnierskie";
    QTest::newRow("underscore and digits") << "A_B 1918-1939";
    QTest::newRow("inner quote mark") << "Monety 'próbne";
    QTest::newRow("dots inside") << "Dz.U. nr 5";
    QTest::newRow("single character") << "X";
    QTest::newRow("longest") << QString(CatalogueFiles::maxNameLength, QLatin1Char('m'));
}

void TestCatalogueFiles::acceptedNames()
{
    QFETCH(QString, name);
    QCOMPARE(CatalogueFiles::nameProblem(name), QString());
}

void TestCatalogueFiles::refusedNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("because");
    QTest::newRow("empty") << ""
                           << "pusta";
    QTest::newRow("slash") << "Monety/Polska"
                           << "\"/\"";
    QTest::newRow("backslash") << "..\\..\\Windows"
                               << "\"\\\"";
    QTest::newRow("dot") << "."
                         << "\".\"";
    QTest::newRow("dot dot") << ".."
                             << "\"..\"";
    for (const char *c : {":", "*", "?", "\"", "<", ">", "|"})
        QTest::addRow("character %s", c) << QStringLiteral("a%1b").arg(QLatin1String(c))
                                         << QStringLiteral("\"%1\"").arg(QLatin1String(c));
    QTest::newRow("tab") << "a\tb"
                         << "sterujących";
    QTest::newRow("line break") << "a\r\nb"
                                << "sterujących";
    QTest::newRow("single blank") << " "
                                  << "spacją";
    QTest::newRow("leading blank") << " Monety"
                                   << "spacją";
    QTest::newRow("trailing blank") << "Monety "
                                    << "spacją";
    QTest::newRow("apostrophes around") << "'Monety'"
                                        << "apostrofy";
    QTest::newRow("outside Windows-1250") << "Monety 日本"
                                          << "Windows-1250";
    QTest::newRow("too long") << QString(CatalogueFiles::maxNameLength + 1, QLatin1Char('m')) << "najwyżej";
    QTest::newRow("C1 control, as a mis-decoded import brings it") << QStringLiteral("Monety\u0081") << "sterujących";
    QTest::newRow("C1 control NEL") << QStringLiteral("Monety\u0085") << "sterujących";
    QTest::newRow("DEL") << QStringLiteral("Mo\u007fnety") << "sterujących";
    QTest::newRow("too many bytes for a file name") << QString(100, QChar(0x201E)) << "bajtów";
}

void TestCatalogueFiles::refusedNames()
{
    QFETCH(QString, name);
    QFETCH(QString, because);
    const QString problem = CatalogueFiles::nameProblem(name);
    QVERIFY2(problem.contains(because), qPrintable(problem));
}

// A catalogue, then a change to it: "c<i>=name" for category i (one past the end: a new one),
// "s<i>.<j>=name" for subcategory j of category i; no change checks the catalogue as a whole, as
// an import does. The fault looked for is a part of the message; an empty one: accepted.
void TestCatalogueFiles::namesTogether_data()
{
    QTest::addColumn<QString>("catalogue");
    QTest::addColumn<QString>("change");
    QTest::addColumn<QString>("fault");
    const QString a100 = QString(100, QChar(0x0105)); // "ą", two bytes each
    const QString z100 = QString(100, QChar(0x017C)); // "ż"
    QTest::newRow("new category in other letter case") << "Monety|Banknoty"
                                                       << "c2=MONETY"
                                                       << "jako \"Monety\"";
    QTest::newRow("new category spelt alike") << "Monety"
                                              << "c1=Monety"
                                              << "jest już na liście.";
    QTest::newRow("Polish letters fold too") << "Żółwie"
                                             << "c1=żÓŁWIE"
                                             << "jako";
    QTest::newRow("new subcategory in other case") << "A:Polska,Niemcy"
                                                   << "s0.2=POLSKA"
                                                   << "jako";
    QTest::newRow("new subcategory owns another pair's files") << "X:Y_Z|X_Y"
                                                               << "s1.0=Z"
                                                               << "X_Y_Z_dane.gmd";
    QTest::newRow("the same, other letter case") << "x:y_z|X_Y"
                                                 << "s1.0=Z"
                                                 << "\"x\" z podkategorią \"y_z\"";
    QTest::newRow("the same, Polish letters") << "Ż:ą_B|ż_Ą"
                                              << "s1.0=b"
                                              << "_dane.gmd";
    QTest::newRow("renamed category meets another's files") << "X:Y_Z|A:Z"
                                                            << "c1=X_Y"
                                                            << "X_Y_Z_0.gmd";
    QTest::newRow("renamed subcategory meets another's files") << "X_Y:Q|X:A"
                                                               << "s1.0=Y_Q"
                                                               << "X_Y_Q_dane.gmd";
    QTest::newRow("renamed category meets a category") << "A|B"
                                                       << "c1=a"
                                                       << "jako";
    QTest::newRow("only the letter case of itself changes") << "Monety:Polska|B"
                                                            << "c0=MONETY"
                                                            << "";
    QTest::newRow("subcategory renamed in its own case") << "A:Polska"
                                                         << "s0.0=POLSKA"
                                                         << "";
    QTest::newRow("near miss") << "X:Y_Z|X_Y"
                               << "s1.0=Z2"
                               << "";
    QTest::newRow("same subcategory under two categories") << "A:S|B"
                                                           << "s1.0=S"
                                                           << "";
    QTest::newRow("C1 control in a new name") << "A"
                                              << "c1=B\u0086"
                                              << "sterujących";
    QTest::newRow("100 + 100 Polish letters: 407 bytes") << a100 << ("s0.0=" + z100) << "za długie";
    QTest::newRow("longest pair that fits") << QString(64, QChar(0x0105)) << ("s0.0=" + QString(100, 'b')) << "";
    QTest::newRow("one byte more") << QString(64, QChar(0x0105)) + 'a' << ("s0.0=" + QString(100, 'b'))
                                   << "229 bajtów, a mogą najwyżej 228";
    QTest::newRow("category renamed against its longest subcategory")
        << "Krótka:S," + z100 << "c0=" + a100.left(20) << "za długie";
    QTest::newRow("whole: sound") << "Monety:Polska,Niemcy|Banknoty:Polska"
                                  << ""
                                  << "";
    QTest::newRow("whole: categories in two cases") << "Monety|MONETY"
                                                    << ""
                                                    << "jako \"Monety\"";
    QTest::newRow("whole: subcategories in two cases") << "A:S,s"
                                                       << ""
                                                       << "jako \"S\"";
    QTest::newRow("whole: pairs sharing files") << "X:Y_Z|X_Y:Z"
                                                << ""
                                                << "X_Y_Z_dane.gmd";
    QTest::newRow("whole: too long together") << (a100 + ":" + z100) << ""
                                              << "za długie";
    QTest::newRow("whole: C1 control") << "A:B\u009F"
                                       << ""
                                       << "sterujących";
}

void TestCatalogueFiles::namesTogether()
{
    QFETCH(QString, catalogue);
    QFETCH(QString, change);
    QFETCH(QString, fault);
    const auto names = parseCatalogue(catalogue);
    QString problem;
    if (change.isEmpty()) {
        problem = CatalogueFiles::catalogueProblem(names);
    } else {
        const QString where = change.section(QLatin1Char('='), 0, 0);
        CatalogueFiles::NewName newName;
        newName.name = change.section(QLatin1Char('='), 1);
        newName.category = where.mid(1).section(QLatin1Char('.'), 0, 0).toInt();
        if (where.startsWith(QLatin1Char('s')))
            newName.subcategory = where.section(QLatin1Char('.'), 1).toInt();
        problem = CatalogueFiles::clashProblem(names, newName);
    }
    if (fault.isEmpty())
        QCOMPARE(problem, QString());
    else
        QVERIFY2(problem.contains(fault), qPrintable(problem));
}

// The longest name the rule lets through is a file the file system takes; one byte more is not.
void TestCatalogueFiles::longestNamesFitTheFileSystem()
{
    const QString longest = QString(64, QChar(0x0105)) + "_" + QString(100, 'b') + "_2147483647.gmd.~gromadnik";
    QCOMPARE(longest.toUtf8().size(), CatalogueFiles::fileNameLimit);
    QFile fits(m_dir.file(longest));
    QVERIFY2(fits.open(QIODevice::WriteOnly), qPrintable(fits.errorString()));
    fits.close();
    QVERIFY(fits.remove());
    QFile tooLong(m_dir.file("a" + longest));
    QVERIFY(!tooLong.open(QIODevice::WriteOnly));
}

// A catalogue of 1,000 categories with 100 subcategories each is checked in moments, whole or
// one new name at a time.
void TestCatalogueFiles::namesTogetherScale()
{
    QList<CatalogueFiles::CategoryNames> catalogue;
    for (int c = 0; c < 1000; ++c) {
        CatalogueFiles::CategoryNames category{QStringLiteral("Kategoria %1").arg(c), {}};
        for (int s = 0; s < 100; ++s)
            category.subcategories.append(QStringLiteral("Podkategoria %1").arg(s));
        catalogue.append(category);
    }
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(CatalogueFiles::catalogueProblem(catalogue), QString());
    QCOMPARE(CatalogueFiles::clashProblem(catalogue, {500, 100, QStringLiteral("Nowa")}), QString());
    QCOMPARE(CatalogueFiles::clashProblem(catalogue, {500, -1, QStringLiteral("Nowa")}), QString());
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
}

void TestCatalogueFiles::keyedListReadsExactlyTheCounter()
{
    m_dir.write("Monety_podkategorie.gmd", crlf({"[podkategorie]", "0=Polska", "2=Niemcy", "3=Poza licznikiem",
                                                 "[config]", "liczba_podkategorii=3"}));
    ProfileFile file(CatalogueFiles::subcategoryList(m_dir.path(), "Monety"));
    QCOMPARE(KeyedList::subcategories.read(file), QStringList({"Polska", "", "Niemcy"}));
    QCOMPARE(KeyedList::categories.read(ProfileFile(m_dir.file("brak.gmd"))), QStringList());

    m_dir.write("damaged.gmd", crlf({"[zdjecia]", "0=a.jpg", "[config]", "liczba_zdjec=2147483647"}));
    QCOMPARE(KeyedList::photos.read(ProfileFile(m_dir.file("damaged.gmd"))), QStringList({"a.jpg"}));
    QVERIFY(KeyedList::photos.problem(ProfileFile(m_dir.file("damaged.gmd"))).contains("zawiera tylko 1"));
    m_dir.write("negative.gmd", crlf({"[zdjecia]", "0=a.jpg", "[config]", "liczba_zdjec=-3"}));
    QCOMPARE(KeyedList::photos.read(ProfileFile(m_dir.file("negative.gmd"))), QStringList());
}

// The catalogue of two categories, a subcategory with three field names, one item and its two
// photos, built by the writes the commands make, in their order.
void TestCatalogueFiles::workedExampleIsWhatTheWritesLeave()
{
    const TestDir dir; // a catalogue of its own
    const QString d = dir.path();
    ProfileFile categories(CatalogueFiles::categoryList(d));
    KeyedList::categories.append(categories, "Monety");
    KeyedList::categories.append(categories, "Odznaczenia");
    ProfileFile subcategories(CatalogueFiles::subcategoryList(d, "Monety"));
    KeyedList::subcategories.append(subcategories, "Polska");
    ProfileFile items(CatalogueFiles::itemFile(d, "Monety", "Polska"));
    const QStringList names{"Nominał", "Rok", "Stan", "", "", "", "", "", "", ""};
    for (int k = 1; k <= 10; ++k)
        items.WriteText("pozycje", QString::number(k), names[k - 1]);
    const QStringList values{"5 złotych", "1934", "dobry", "", "", "", "", "", "", ""};
    for (int k = 1; k <= 10; ++k)
        items.WriteText("0", QStringLiteral("pozycja%1").arg(k), values[k - 1]);
    items.WriteMultiline("0", "opis", "Moneta srebrna");
    items.WriteMultiline("0", "komentarz", "Kupiona na giełdzie");
    items.WriteNumber("config", "liczba_pozycji", 1);
    ProfileFile photos(CatalogueFiles::photoList(d, "Monety", "Polska", 0));
    KeyedList::photos.append(photos, "C:\\Zdjecia\\awers.jpg");
    KeyedList::photos.append(photos, "C:\\Zdjecia\\rewers.jpg");
    categories.WriteNumber("config", "sprawdz_wersje", 1);
    items.WriteNumber("config", "aktualne_zdjecie", 0);

    QCOMPARE(dir.read("kategorie.gmd"),
             crlf({"[kategorie]", "0=Monety", "1=Odznaczenia", "[config]", "liczba_kategorii=2", "sprawdz_wersje=1"}));
    QCOMPARE(dir.read("Monety_podkategorie.gmd"),
             crlf({"[podkategorie]", "0=Polska", "[config]", "liczba_podkategorii=1"}));
    QStringList itemLines{"[pozycje]", "1=Nominał", "2=Rok", "3=Stan"};
    for (int k = 4; k <= 10; ++k)
        itemLines << QStringLiteral("%1=").arg(k);
    itemLines << "[0]"
              << "pozycja1=5 złotych"
              << "pozycja2=1934"
              << "pozycja3=dobry";
    for (int k = 4; k <= 10; ++k)
        itemLines << QStringLiteral("pozycja%1=").arg(k);
    itemLines << "opis=Moneta srebrna"
              << "komentarz=Kupiona na giełdzie"
              << "[config]"
              << "liczba_pozycji=1"
              << "aktualne_zdjecie=0";
    QCOMPARE(dir.read("Monety_Polska_dane.gmd"), crlfCp1250(itemLines));
    QCOMPARE(dir.read("Monety_Polska_0.gmd"), crlf({"[zdjecia]", "0=C:\\Zdjecia\\awers.jpg",
                                                    "1=C:\\Zdjecia\\rewers.jpg", "[config]", "liczba_zdjec=2"}));
    QVERIFY(!QFile::exists(dir.file("Odznaczenia_podkategorie.gmd")));

    QCOMPARE(KeyedList::categories.read(categories), QStringList({"Monety", "Odznaczenia"}));
    QCOMPARE(KeyedList::photos.read(photos), QStringList({"C:\\Zdjecia\\awers.jpg", "C:\\Zdjecia\\rewers.jpg"}));
}

QTEST_GUILESS_MAIN(TestCatalogueFiles)
#include "tst_cataloguefiles.moc"
