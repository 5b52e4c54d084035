#include "store/DataDirectory.h"
#include "settings/ViewState.h"
#include "store/Error.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QSettings>
#include <QTest>

// The path lives in this test's own settings folder (XDG_CONFIG_HOME, set by the test runner).
class TestDataDirectory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void missingValueReadsAsEmpty();
    void pathIsKeptExactlyAsTyped_data();
    void pathIsKeptExactlyAsTyped();
    void pathIsReadAfreshEachTime();
    void valueThatIsNoTextIsReported();
    void unwritableSettingsAreReported();
    void defaultPathIsAFolderInHome();
    void viewStateKeepsToItsGroup_data();
    void viewStateKeepsToItsGroup();

private:
    static QString settingsFile();
};

static QByteArray wholeFile(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString TestDataDirectory::settingsFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Gromadnik.conf");
}

void TestDataDirectory::init()
{
    QVERIFY(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"));
    QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    QFile::remove(settingsFile());
}

void TestDataDirectory::missingValueReadsAsEmpty()
{
    QCOMPARE(DataDirectory::path(), QString());
}

void TestDataDirectory::pathIsKeptExactlyAsTyped_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("closing slash") << "/home/kolekcjoner/Gromadnik/";
    QTest::newRow("Windows form") << "C:\\Program Files\\Gromadnik\\";
    QTest::newRow("no closing separator") << "D:\\Kolekcja";
    QTest::newRow("blanks, commas and Polish letters") << "  /dane/Zbiory, ćma; \"x\" ";
    QTest::newRow("empty") << "";
}

void TestDataDirectory::pathIsKeptExactlyAsTyped()
{
    QFETCH(QString, path);
    DataDirectory::setPath(path);
    QCOMPARE(DataDirectory::path(), path);
}

void TestDataDirectory::pathIsReadAfreshEachTime()
{
    DataDirectory::setPath("/pierwsza/");
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Gromadnik").setValue("path", "/druga/");
    QCOMPARE(DataDirectory::path(), QStringLiteral("/druga/"));
}

void TestDataDirectory::valueThatIsNoTextIsReported()
{
    QFile file(settingsFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\npath=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\x5)\n");
    file.close();
    try {
        DataDirectory::path();
        QFAIL("a number was read as the path");
    } catch (const AppError &error) {
        QCOMPARE(error.message(), QStringLiteral("Invalid data type for 'path'"));
    }
}

void TestDataDirectory::unwritableSettingsAreReported()
{
    // A folder in the settings file's place: nothing can be stored there, not even by root.
    QVERIFY(QDir().mkdir(settingsFile()));
    try {
        DataDirectory::setPath("/gdziekolwiek/");
        QDir().rmdir(settingsFile());
        QFAIL("the path was reported as stored");
    } catch (const AppError &error) {
        QDir().rmdir(settingsFile());
        QCOMPARE(error.message(), QStringLiteral("Failed to set data for 'path'"));
    }
}

void TestDataDirectory::defaultPathIsAFolderInHome()
{
    QCOMPARE(DataDirectory::defaultPath(), QDir::homePath() + QStringLiteral("/Gromadnik/"));
}

void TestDataDirectory::viewStateKeepsToItsGroup_data()
{
    QTest::addColumn<QString>("category");
    QTest::addColumn<QString>("subcategory");
    QTest::newRow("Polish letters") << "Żołnierze" << "Ułani, 1920";
    QTest::newRow("group separators") << "a/b\\c" << "%2F@x";
    QTest::newRow("comma list") << "1, 2, 3" << "@Variant(\\0)";
}

// The path stays byte for byte what it was, and each subcategory keeps its own columns.
void TestDataDirectory::viewStateKeepsToItsGroup()
{
    QFETCH(QString, category);
    QFETCH(QString, subcategory);
    DataDirectory::setPath("C:\\Kolekcja, stara\\");
    const QByteArray before = wholeFile(settingsFile());
    ViewState::setLastChoice({category, subcategory});
    ViewState::setColumns(category, subcategory, "stan 1");
    ViewState::setColumns(category, subcategory + "x", "stan 2");
    ViewState::setWindowGeometry("okno");
    QCOMPARE(ViewState::lastChoice().category, category);
    QCOMPARE(ViewState::lastChoice().subcategory, subcategory);
    QCOMPARE(ViewState::columns(category, subcategory), QByteArray("stan 1"));
    QCOMPARE(ViewState::columns(category, subcategory + "x"), QByteArray("stan 2"));
    QCOMPARE(ViewState::columns(subcategory, category), QByteArray());
    QCOMPARE(ViewState::windowGeometry(), QByteArray("okno"));
    QCOMPARE(DataDirectory::path(), QStringLiteral("C:\\Kolekcja, stara\\"));
    QVERIFY(wholeFile(settingsFile()).startsWith(before.trimmed()));

    // A value of another type, written by hand, is no state at all.
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Gromadnik").setValue("Widok/kategoria", 5);
    QCOMPARE(ViewState::lastChoice().category, QString());
}

QTEST_GUILESS_MAIN(TestDataDirectory)
#include "tst_datadirectory.moc"
