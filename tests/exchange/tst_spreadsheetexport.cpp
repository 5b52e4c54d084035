#include "exchange/CsvWriter.h"
#include "exchange/SpreadsheetExport.h"
#include "store/Codepage.h"
#include "store/Error.h"
#include "support/TestCatalogue.h"
#include "support/TestFiles.h"

#include <QBuffer>
#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <sys/mount.h>

using SpreadsheetExport::Scope;
using SpreadsheetExport::Selection;

namespace {

const QByteArray bom("\xEF\xBB\xBF");

// Two categories, three subcategories, whose field names agree only in part.
void writeCollection(const TestDir &dir)
{
    writeCatalogue(dir, {
                            {"Monety", "Polska", {"Nominał", "Rok", "", "Stan"},
                             {{"5 zł", "1934", "", "dobry", "", "", "", "", "", "", "\"Awers\\nRewers\"", "z giełdy"},
                              {"10 gr", "1949"}}},
                            {"Monety", "Niemcy", {"Rok", "Nominał", "Mennica"}, {{"1871", "1 marka", "A"}}},
                            {"Znaczki", "Polska", {"Rok", "Rok"}, {{"1920", "1921", "", "", "ukryte"}}},
                        });
    dir.write("Monety_Polska_0.gmd",
              crlfCp1250({"[zdjecia]", "0=C:\\Zdjęcia\\awers.jpg", "1=/zdjęcia/rewers.jpg", "[config]",
                          "liczba_zdjec=2"}));
}

QStringList rowsOf(const SpreadsheetExport::Sheet &sheet)
{
    QStringList rows{sheet.header().join(QLatin1Char('|'))};
    sheet.eachRow([&](const QStringList &cells) { rows.append(cells.join(QLatin1Char('|'))); });
    return rows;
}

QJsonObject readBack(const QString &fileName)
{
    QProcess reader;
    reader.start(QStringLiteral(TEST_PYTHON), {QStringLiteral(READ_XLSX_SCRIPT), fileName});
    if (!reader.waitForFinished(60000) || reader.exitCode() != 0)
        qWarning("%s", reader.readAllStandardError().constData());
    return QJsonDocument::fromJson(reader.readAllStandardOutput()).object();
}

} // namespace

class TestSpreadsheetExport : public QObject
{
    Q_OBJECT

private slots:
    void csvRow_data();
    void csvRow();
    void columnsOfAScope_data();
    void columnsOfAScope();
    void workbookReadsBackAsText();
    void failedWriteLeavesNoFile_data();
    void failedWriteLeavesNoFile();
};

void TestSpreadsheetExport::csvRow_data()
{
    QTest::addColumn<QStringList>("cells");
    QTest::addColumn<bool>("windows1250");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QByteArray>("expected"); // after the byte-order mark, where there is one

    QTest::newRow("plain") << QStringList{"a", "b c"} << false << ";" << QByteArray("a;b c\r\n");
    QTest::newRow("empty cells") << QStringList{"", "", "x", ""} << false << ";" << QByteArray(";;x;\r\n");
    QTest::newRow("either separator inside") << QStringList{"1,5", "a;b", "c"} << false << ";"
                                             << QByteArray("\"1,5\";\"a;b\";c\r\n");
    QTest::newRow("comma separator") << QStringList{"a;b", "c"} << false << "," << QByteArray("\"a;b\",c\r\n");
    QTest::newRow("quotation marks") << QStringList{"rzadki \"Orzeł\"", "\""} << false << ";"
                                     << QByteArray("\"rzadki \"\"Orzeł\"\"\";\"\"\"\"\r\n");
    QTest::newRow("line breaks") << QStringList{"awers\nrewers", "a\r\nb"} << false << ";"
                                 << QByteArray("\"awers\nrewers\";\"a\r\nb\"\r\n");
    QTest::newRow("Polish letters, UTF-8") << QStringList{"Żółć", "łąś"} << false << ";"
                                           << QByteArray("Żółć;łąś\r\n");
    QTest::newRow("Polish letters, Windows-1250") << QStringList{"Żółć", "łąś"} << true << ";"
                                                  << QByteArray("\xAF\xF3\xB3\xE6;\xB3\xB9\x9C\r\n");
    QTest::newRow("beyond Windows-1250") << QStringList{"日本"} << true << ";" << QByteArray();
}

void TestSpreadsheetExport::csvRow()
{
    QFETCH(QStringList, cells);
    QFETCH(bool, windows1250);
    QFETCH(QString, separator);
    QFETCH(QByteArray, expected);

    QBuffer out;
    out.open(QIODevice::WriteOnly);
    CsvWriter writer(out, windows1250 ? CsvWriter::Encoding::Windows1250 : CsvWriter::Encoding::Utf8WithBom,
                     separator.front());
    if (expected.isEmpty()) {
        QVERIFY_THROWS_EXCEPTION(AppError, writer.writeRow(cells));
        return;
    }
    writer.writeRow(cells);
    writer.writeRow({"x"}); // rows follow one another, the mark stands once
    QCOMPARE(out.data(), (windows1250 ? QByteArray() : bom) + expected + "x\r\n");
}

void TestSpreadsheetExport::columnsOfAScope_data()
{
    QTest::addColumn<int>("scope");
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("subcategory");
    QTest::addColumn<QStringList>("rows");

    const QString photos = QStringLiteral("C:\\Zdjęcia\\awers.jpg\n/zdjęcia/rewers.jpg");
    QTest::newRow("subcategory: an unnamed field keeps its place")
        << int(Scope::Subcategory) << "Monety" << "Polska"
        << QStringList{"Kategoria|Podkategoria|Nominał|Rok|Pole 3|Stan|Opis|Komentarz|Zdjęcia",
                       "Monety|Polska|5 zł|1934||dobry|Awers\nRewers|z giełdy|" + photos,
                       "Monety|Polska|10 gr|1949|||||"};
    QTest::newRow("category: one column per name, in order of first appearance")
        << int(Scope::Category) << "Monety" << ""
        << QStringList{"Kategoria|Podkategoria|Nominał|Rok|Pole 3|Stan|Mennica|Opis|Komentarz|Zdjęcia",
                       "Monety|Polska|5 zł|1934||dobry||Awers\nRewers|z giełdy|" + photos,
                       "Monety|Polska|10 gr|1949||||||", "Monety|Niemcy|1 marka|1871|||A|||"};
    QTest::newRow("catalogue: a name twice, a value past the names")
        << int(Scope::Catalogue) << "" << ""
        << QStringList{"Kategoria|Podkategoria|Nominał|Rok|Pole 3|Stan|Mennica|Rok (2)|Pole 4|Pole 5|Opis|"
                       "Komentarz|Zdjęcia",
                       "Monety|Polska|5 zł|1934||dobry|||||Awers\nRewers|z giełdy|" + photos,
                       "Monety|Polska|10 gr|1949|||||||||", "Monety|Niemcy|1 marka|1871|||A||||||",
                       "Znaczki|Polska||1920||||1921||ukryte|||"};
    QTest::newRow("subcategory without an item file")
        << int(Scope::Subcategory) << "Monety" << "Brak" << QStringList{"Kategoria|Podkategoria|Opis|Komentarz|Zdjęcia"};
}

void TestSpreadsheetExport::columnsOfAScope()
{
    QFETCH(int, scope);
    QFETCH(QString, category);
    QFETCH(QString, subcategory);
    QFETCH(QStringList, rows);

    TestDir dir;
    writeCollection(dir);
    const SpreadsheetExport::Sheet sheet({dir.path(), Scope(scope), category, subcategory});
    QCOMPARE(rowsOf(sheet), rows);
    QCOMPARE(sheet.rowCount(), rows.size() - 1);

    // The file holds the same rows, and a CSV reader splitting at the separator outside quotation
    // marks finds the header's columns.
    TestDir out;
    QCOMPARE(SpreadsheetExport::writeCsv({dir.path(), Scope(scope), category, subcategory}, out.file("a.csv"),
                                         CsvWriter::Encoding::Utf8WithBom, QLatin1Char(';')),
             rows.size() - 1);
    QVERIFY(out.read("a.csv").startsWith(bom + rows[0].replace('|', ';').toUtf8() + "\r\n"));
}

void TestSpreadsheetExport::workbookReadsBackAsText()
{
    TestDir dir;
    writeCatalogue(dir, {{"Monety", "Polska", {"Numer", "Data", "Cena", "Uwagi"},
                          {{"007", "1934-05-01", "3,50", "=1+1", "", "", "", "", "", "",
                            "\"Pierwsza linia\\nDruga linia, dłuższa od pierwszej\"", QString(300, 'x')}}}});
    TestDir out;
    QCOMPARE(SpreadsheetExport::writeXlsx({dir.path(), Scope::Subcategory, "Monety", "Polska"}, out.file("k.xlsx")),
             1);
    const QJsonObject book = readBack(out.file("k.xlsx"));
    const QJsonArray rows = book["rows"].toArray();
    QCOMPARE(rows.size(), 2);
    const QJsonArray header = rows[0].toArray();
    QStringList names;
    for (const auto &cell : header) {
        names.append(cell.toObject()["value"].toString());
        QVERIFY(cell.toObject()["bold"].toBool());
    }
    QCOMPARE(names, QStringList({"Kategoria", "Podkategoria", "Numer", "Data", "Cena", "Uwagi", "Opis", "Komentarz",
                                 "Zdjęcia"}));
    QCOMPARE(book["freeze"].toString(), QStringLiteral("A2"));
    QCOMPARE(book["filter"].toString(), QStringLiteral("A1:I2"));

    const QJsonArray item = rows[1].toArray();
    const QStringList texts{"Monety", "Polska", "007", "1934-05-01", "3,50", "=1+1"};
    for (int c = 0; c < texts.size(); ++c) {
        QCOMPARE(item[c]["value"].toString(), texts[c]);
        QCOMPARE(item[c]["type"].toString(), QStringLiteral("s"));
        QVERIFY(!item[c]["wrap"].toBool());
    }
    QCOMPARE(item[6]["value"].toString(), QStringLiteral("Pierwsza linia\nDruga linia, dłuższa od pierwszej"));
    QVERIFY(item[6]["wrap"].toBool());

    // Widths follow the content: the longest line of a wrapped cell, never past the cap.
    const QJsonObject widths = book["widths"].toObject();
    QVERIFY(widths["A"].toDouble() < 13);
    QVERIFY(widths["G"].toDouble() > 30 && widths["G"].toDouble() < 45);
    QVERIFY(widths["H"].toDouble() <= 62);
}

void TestSpreadsheetExport::failedWriteLeavesNoFile_data()
{
    QTest::addColumn<bool>("xlsx");
    QTest::addColumn<bool>("fullDisk");
    for (const bool xlsx : {false, true}) {
        QTest::addRow("%s, missing folder", xlsx ? "XLSX" : "CSV") << xlsx << false;
        QTest::addRow("%s, full disk", xlsx ? "XLSX" : "CSV") << xlsx << true;
    }
}

void TestSpreadsheetExport::failedWriteLeavesNoFile()
{
    QFETCH(bool, xlsx);
    QFETCH(bool, fullDisk);

    TestDir dir;
    QList<QStringList> items;
    for (int i = 0; i < 3000; ++i)
        items.append({QStringLiteral("Moneta numer %1 z dość długim opisem").arg(i), QString::number(1900 + i % 100)});
    writeCatalogue(dir, {{"Monety", "Polska", {"Nazwa", "Rok"}, items}});

    QTemporaryDir disk;
    QString folder = disk.path() + QStringLiteral("/nie ma");
    if (fullDisk) {
        if (::mount("tmpfs", QFile::encodeName(disk.path()).constData(), "tmpfs", MS_NOSUID | MS_NODEV,
                    "size=64k,mode=0700") != 0)
            QSKIP("Mounting a small tmpfs needs root (CAP_SYS_ADMIN).");
        folder = disk.path();
    }
    const QString target = folder + (xlsx ? QStringLiteral("/k.xlsx") : QStringLiteral("/k.csv"));
    const QString filler = folder + QStringLiteral("/zapychacz");
    if (fullDisk) {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("poprzedni plik");
        old.close();
        QFile fill(filler);
        QVERIFY(fill.open(QIODevice::WriteOnly));
        const QByteArray block(4096, 'z');
        while (fill.write(block) == block.size() && fill.flush()) {
        }
    }
    QString failure;
    try {
        const Selection selection{dir.path(), Scope::Catalogue, {}, {}};
        xlsx ? SpreadsheetExport::writeXlsx(selection, target)
             : SpreadsheetExport::writeCsv(selection, target, CsvWriter::Encoding::Windows1250, QLatin1Char(';'));
    } catch (const AppError &error) {
        failure = error.message();
    }
    const QStringList left = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    QByteArray oldBytes;
    if (fullDisk) {
        QFile old(target);
        if (old.open(QIODevice::ReadOnly))
            oldBytes = old.readAll();
        ::umount2(QFile::encodeName(disk.path()).constData(), MNT_DETACH);
    }
    QVERIFY2(failure.startsWith(QStringLiteral("Nie udało się zapisać pliku ") + target), qPrintable(failure));
    const QStringList expected{QFileInfo(target).fileName(), QFileInfo(filler).fileName()};
    QCOMPARE(left, fullDisk ? expected : QStringList());
    if (fullDisk)
        QCOMPARE(oldBytes, QByteArray("poprzedni plik"));
}

QTEST_GUILESS_MAIN(TestSpreadsheetExport)
#include "tst_spreadsheetexport.moc"
