#include "items/ItemListModel.h"
#include "items/ItemListProxy.h"
#include "store/ProfileFile.h"
#include "store/ProfileStore.h"
#include "support/TestFiles.h"

#include <QTest>

namespace {

struct Item
{
    QStringList fields;
    QString opis;
    QString komentarz;
};

// An item file with fields "Nazwa", (an unnamed one), "Rok".
QByteArray itemFile(const QList<Item> &items)
{
    QStringList lines{"[pozycje]", "1=Nazwa", "2=", "3=Rok"};
    for (int p = 0; p < items.size(); ++p) {
        lines << QStringLiteral("[%1]").arg(p);
        for (int k = 0; k < items[p].fields.size(); ++k)
            lines << QStringLiteral("pozycja%1=%2").arg(k + 1).arg(items[p].fields[k]);
        lines << "opis=" + items[p].opis << "komentarz=" + items[p].komentarz;
    }
    lines << "[config]" << QStringLiteral("liczba_pozycji=%1").arg(items.size());
    return crlfCp1250(lines);
}

QList<Item> column(const QStringList &values)
{
    QList<Item> items;
    for (const QString &value : values)
        items.append({{value, "", value}, "", ""});
    return items;
}

QList<int> shownItems(const ItemListProxy &proxy)
{
    QList<int> items;
    for (int row = 0; row < proxy.rowCount(); ++row)
        items.append(proxy.itemNumber(row));
    return items;
}

} // namespace

class TestItemList : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void valuesReadAsReadTextGivesThem_data();
    void valuesReadAsReadTextGivesThem();
    void countProblemsKeepTheColumns_data();
    void countProblemsKeepTheColumns();
    void sortsAsAPolishReaderExpects_data();
    void sortsAsAPolishReaderExpects();
    void filterIgnoresCaseAndMarks_data();
    void filterIgnoresCaseAndMarks();
    void rowsMapToItemNumbersAfterSortAndFilter();
    void sortStaysWhileItsColumnDoes();

private:
    void load(const QByteArray &bytes, const QString &count = QString());

    TestDir m_dir;
    ItemListModel m_items;
    ItemListProxy m_proxy{&m_items};
};

void TestItemList::init()
{
    m_proxy.sort(-1);
    m_proxy.setFilterText(QString());
}

void TestItemList::load(const QByteArray &bytes, const QString &count)
{
    m_dir.write("A_B_dane.gmd", bytes);
    const QString file = m_dir.file("A_B_dane.gmd");
    m_items.load(file, count.isNull() ? ProfileFile(file).ReadText("config", "liczba_pozycji", "0") : count);
}

void TestItemList::valuesReadAsReadTextGivesThem_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("blanks around") << "pozycja1=  Łódź  ";
    QTest::newRow("double quotes") << "pozycja1=\" Łódź \"";
    QTest::newRow("single quotes") << "pozycja1='x'";
    QTest::newRow("one quote") << "pozycja1=\"x";
    QTest::newRow("escapes kept") << "pozycja1=\"a\\r\\nb\"";
    QTest::newRow("too long") << "pozycja1=" + QString(3000, QLatin1Char('z'));
    QTest::newRow("key in capitals") << "POZYCJA1=duże";
    QTest::newRow("missing") << "pozycja9=x";
}

void TestItemList::valuesReadAsReadTextGivesThem()
{
    QFETCH(QString, line);
    QStringList lines{"[pozycje]", "1=Nazwa", "[0]", line, "pozycja1=drugi", "[config]", "liczba_pozycji=1"};
    if (line.startsWith("pozycja9"))
        lines.removeAt(4);
    load(crlfCp1250(lines));
    ProfileStore::clear();
    QCOMPARE(m_items.rowCount(), 1);
    const QString expected = ProfileFile(m_dir.file("A_B_dane.gmd")).ReadText("0", "pozycja1", QString());
    QCOMPARE(m_proxy.index(0, 0).data().toString(), expected);
    QCOMPARE(m_proxy.index(0, 0).data(Qt::ToolTipRole).toString(), expected);
}

void TestItemList::countProblemsKeepTheColumns_data()
{
    QTest::addColumn<QString>("count");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("told");
    QTest::newRow("right") << "2" << 2 << "";
    QTest::newRow("no number") << "dwa" << 0 << "\"dwa\"";
    QTest::newRow("beyond the file") << "5" << 2 << "zawiera tylko 2";
    QTest::newRow("fewer") << " 1" << 1 << "";
}

void TestItemList::countProblemsKeepTheColumns()
{
    QFETCH(QString, count);
    QFETCH(int, rows);
    QFETCH(QString, told);
    load(itemFile(column({"a", "b"})), count);
    QCOMPARE(m_items.columnCount(), 2);
    QCOMPARE(m_proxy.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), QStringLiteral("Rok"));
    QCOMPARE(m_proxy.rowCount(), rows);
    QVERIFY2(told.isEmpty() ? m_items.problem().isEmpty() : m_items.problem().contains(told),
             qPrintable(m_items.problem()));
}

void TestItemList::sortsAsAPolishReaderExpects_data()
{
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QList<int>>("ascending"); // item numbers
    QTest::addColumn<QList<int>>("descending");
    QTest::newRow("Polish letters") << QStringList{"Maków", "Łódź", "Lublin", "Żory", "Zabrze", "Źródła", "Ćmielów",
                                                   "Cieszyn"}
                                    << QList<int>{7, 6, 2, 1, 0, 4, 5, 3} << QList<int>{3, 5, 4, 0, 1, 2, 6, 7};
    QTest::newRow("numbers") << QStringList{"10", "2", "1990", "1934"} << QList<int>{1, 0, 3, 2}
                             << QList<int>{2, 3, 0, 1};
    QTest::newRow("numbers in text") << QStringList{"10 złotych", "5 złotych", "2 grosze", "5 groszy"}
                                     << QList<int>{2, 3, 1, 0} << QList<int>{0, 1, 3, 2};
    QTest::newRow("empty last") << QStringList{"", "b", "", "a"} << QList<int>{3, 1, 0, 2} << QList<int>{1, 3, 0, 2};
    QTest::newRow("ties in item order") << QStringList{"x", "y", "x", "", "x"} << QList<int>{0, 2, 4, 1, 3}
                                        << QList<int>{1, 0, 2, 4, 3};
}

void TestItemList::sortsAsAPolishReaderExpects()
{
    QFETCH(QStringList, values);
    QFETCH(QList<int>, ascending);
    QFETCH(QList<int>, descending);
    load(itemFile(column(values)));
    for (int column : {0, 1}) { // "Rok" stands under field 3
        m_proxy.sort(column, Qt::AscendingOrder);
        QCOMPARE(shownItems(m_proxy), ascending);
        m_proxy.sort(column, Qt::DescendingOrder);
        QCOMPARE(shownItems(m_proxy), descending);
    }
    m_proxy.sort(-1);
    QCOMPARE(shownItems(m_proxy).size(), values.size());
    QCOMPARE(shownItems(m_proxy).last(), values.size() - 1);
}

void TestItemList::filterIgnoresCaseAndMarks_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QList<int>>("items");
    QTest::newRow("nothing typed") << "" << QList<int>{0, 1, 2, 3};
    QTest::newRow("letter case") << "POLSKA" << QList<int>{0};
    QTest::newRow("no marks typed") << "lodz" << QList<int>{1};
    QTest::newRow("stroke typed away") << "zloty" << QList<int>{2};
    QTest::newRow("marks typed") << "ZŁOTY" << QList<int>{2};
    QTest::newRow("field 3") << "1934" << QList<int>{0, 3};
    QTest::newRow("description") << "srebrna" << QList<int>{1};
    QTest::newRow("second line of a description") << "rysa" << QList<int>{1};
    QTest::newRow("comment") << "wymiany" << QList<int>{3};
    QTest::newRow("escape of a line break") << "\\n" << QList<int>{};
    QTest::newRow("unnamed field") << "ukryte" << QList<int>{};
    QTest::newRow("across two fields") << "polska1934" << QList<int>{};
    QTest::newRow("outside Windows-1250") << "日本" << QList<int>{};
    QTest::newRow("in every item") << "o" << QList<int>{0, 1, 2, 3};
}

// Typed a letter at a time, as the filter sees it, and then once more in one go.
void TestItemList::filterIgnoresCaseAndMarks()
{
    QFETCH(QString, typed);
    QFETCH(QList<int>, items);
    load(itemFile({{{"Polska", "ukryte", "1934"}, "", ""},
                   {{"Łódź", "", "1990"}, "\"Moneta srebrna\\r\\nrysa\"", ""},
                   {{"Złoty", "", ""}, "", ""},
                   {{"Dukat", "", "1934"}, "", "Do wymiany"}}));
    for (int length = 1; length <= typed.size(); ++length)
        m_proxy.setFilterText(typed.left(length));
    QCOMPARE(shownItems(m_proxy), items);
    m_proxy.setFilterText(QString());
    m_proxy.setFilterText(typed);
    QCOMPARE(shownItems(m_proxy), items);
}

void TestItemList::rowsMapToItemNumbersAfterSortAndFilter()
{
    load(itemFile(column({"Łódź 3", "Kraków", "Łódź 1", "Gdańsk", "łódź 2"})));
    const QPersistentModelIndex kept = m_proxy.index(4, 1);
    const QPersistentModelIndex hidden = m_proxy.index(1, 0);
    m_proxy.sort(0, Qt::DescendingOrder);
    m_proxy.setFilterText("LODZ");
    QCOMPARE(shownItems(m_proxy), (QList<int>{0, 4, 2}));
    for (int row = 0; row < m_proxy.rowCount(); ++row) {
        QCOMPARE(m_proxy.viewRow(m_proxy.itemNumber(row)), row);
        QCOMPARE(m_proxy.index(row, 1).data().toString(), m_items.text(m_proxy.itemNumber(row), 1));
        QCOMPARE(m_proxy.mapToSource(m_proxy.index(row, 0)).row(), m_proxy.itemNumber(row));
    }
    QCOMPARE(m_proxy.viewRow(1), -1);
    QCOMPARE(m_proxy.viewRow(3), -1);
    QCOMPARE(m_proxy.viewRow(5), -1);
    QCOMPARE(m_proxy.itemNumber(3), -1);
    // A selection held by the view follows its item, and goes with it when the filter hides it.
    QCOMPARE(kept.row(), 1);
    QCOMPARE(kept.column(), 1);
    QVERIFY(!hidden.isValid());
}

// After an item command the file reads again with the same columns; another subcategory has its own.
void TestItemList::sortStaysWhileItsColumnDoes()
{
    load(itemFile(column({"b", "a", "c"})));
    m_proxy.sort(1, Qt::DescendingOrder);
    m_proxy.setFilterText("a");
    load(itemFile(column({"b", "a", "c", "aa"})));
    QCOMPARE(m_proxy.sortColumn(), 1);
    QCOMPARE(shownItems(m_proxy), (QList<int>{3, 1}));
    QByteArray renamed = itemFile(column({"b", "a"}));
    renamed.replace("3=Rok", "3=Rok bicia");
    load(renamed);
    QCOMPARE(m_proxy.sortColumn(), -1);
    QCOMPARE(shownItems(m_proxy), (QList<int>{1}));
}

QTEST_GUILESS_MAIN(TestItemList)
#include "tst_itemlist.moc"
