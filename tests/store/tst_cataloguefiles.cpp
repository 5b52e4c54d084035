#include "store/CatalogueFiles.h"
#include "support/TestFiles.h"

#include <QTest>

class TestCatalogueFiles : public QObject
{
    Q_OBJECT

private slots:
    void fileNamesArePlainConcatenation();
    void acceptedNames_data();
    void acceptedNames();
    void refusedNames_data();
    void refusedNames();
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
}

void TestCatalogueFiles::refusedNames()
{
    QFETCH(QString, name);
    QFETCH(QString, because);
    const QString problem = CatalogueFiles::nameProblem(name);
    QVERIFY2(problem.contains(because), qPrintable(problem));
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
