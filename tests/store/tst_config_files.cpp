#include "app/Application.h"
#include "store/Config_files.h"
#include "store/DataDirectory.h"
#include "support/ScriptedDialogs.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTest>
#include <QTimer>

namespace {

const QString savedMessage = QStringLiteral(
    "Ścieżka zapisana pomyślnie.\nPamiętaj, że program powinien zostać teraz zamknięty, aby można było ręcznie "
    "przegrać wszystkie pliki do nowej lokalizacji.\nCzy chcesz teraz zamknąć program ?");

QString settingsFile()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/Gromadnik.conf");
}

} // namespace

class TestConfigFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void startsWithTheDefaultPath();
    void saveCreatesOnlyTheLastFolder_data();
    void saveCreatesOnlyTheLastFolder();
    void okEndsTheProgramAndCancelGoesOn();
    void reopeningShowsTheTextTypedLast();
    void failedStoreKeepsTheWindowOpen();

private:
    void save(const QString &typed, QMessageBox::StandardButton answer);

    std::unique_ptr<TfrmConfig_files> m_window;
    std::unique_ptr<ScriptedDialogs> m_dialogs;
};

void TestConfigFiles::init()
{
    QDir().mkpath(qEnvironmentVariable("XDG_CONFIG_HOME"));
    QFile::remove(settingsFile());
    Application::resetQuitRequest();
    m_dialogs = std::make_unique<ScriptedDialogs>();
    m_window = std::make_unique<TfrmConfig_files>();
}

void TestConfigFiles::cleanup()
{
    m_window.reset();
    m_dialogs.reset();
}

// Types the path and presses "Zapisz" in the window shown modally, as the main window shows it.
void TestConfigFiles::save(const QString &typed, QMessageBox::StandardButton answer)
{
    m_dialogs->answerNext(answer);
    QTimer::singleShot(0, m_window.get(), [this, typed] {
        m_window->Edit1->setText(typed);
        QTest::mouseClick(m_window->btnZapisz, Qt::LeftButton);
    });
    QTimer::singleShot(5000, m_window.get(), [this] { m_window->reject(); }); // never hang the suite
    m_window->exec();
}

void TestConfigFiles::startsWithTheDefaultPath()
{
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Pliki konfiguracyjne"));
    QCOMPARE(m_window->Edit1->text(), DataDirectory::defaultPath());
    QCOMPARE(m_window->palette().color(QPalette::Window), QColor(221, 216, 179));
}

void TestConfigFiles::saveCreatesOnlyTheLastFolder_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("created");
    QTest::newRow("missing folder, parent there") << "nowy/"
                                                  << "nowy";
    QTest::newRow("no closing separator") << "Kolekcja"
                                          << "Kolekcja";
    QTest::newRow("two levels below") << "a/b/"
                                      << "";
    QTest::newRow("folder already there") << "."
                                          << "";
    QTest::newRow("empty") << ""
                           << "";
}

void TestConfigFiles::saveCreatesOnlyTheLastFolder()
{
    QFETCH(QString, typed);
    QFETCH(QString, created);
    TestDir parent;
    const QString path = typed.isEmpty() ? typed : parent.path() + typed;
    save(path, QMessageBox::Cancel);

    QCOMPARE(DataDirectory::path(), path);
    const QStringList folders = QDir(parent.path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    QCOMPARE(folders, created.isEmpty() ? QStringList() : QStringList{created});
    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].caption, QStringLiteral("Informacja"));
    QCOMPARE(m_dialogs->shown[0].text, savedMessage);
    QCOMPARE(m_dialogs->shown[0].buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(m_dialogs->shown[0].icon, Dialogs::Icon::None);
}

void TestConfigFiles::okEndsTheProgramAndCancelGoesOn()
{
    TestDir dir;
    save(dir.path(), QMessageBox::Cancel);
    QVERIFY(!Application::quitRequested());
    QVERIFY(!m_window->isVisible());

    save(dir.path(), QMessageBox::Ok);
    QVERIFY(Application::quitRequested());
    QVERIFY(!m_window->isVisible());
    QCOMPARE(DataDirectory::path(), dir.path());
}

void TestConfigFiles::reopeningShowsTheTextTypedLast()
{
    TestDir dir;
    save(dir.path(), QMessageBox::Cancel);
    QSettings(QSettings::NativeFormat, QSettings::UserScope, "Gromadnik").setValue("path", "/inna/");
    m_window->show();
    QCOMPARE(m_window->Edit1->text(), dir.path());
    m_window->hide();
}

void TestConfigFiles::failedStoreKeepsTheWindowOpen()
{
    QVERIFY(QDir().mkdir(settingsFile()));
    m_window->show();
    m_window->Edit1->setText(QStringLiteral("/gdziekolwiek/"));
    QTest::mouseClick(m_window->btnZapisz, Qt::LeftButton);
    QDir().rmdir(settingsFile());

    QCOMPARE(m_dialogs->shown.size(), 1);
    QCOMPARE(m_dialogs->shown[0].caption, QStringLiteral("Gromadnik"));
    QCOMPARE(m_dialogs->shown[0].text, QStringLiteral("Failed to set data for 'path'")); // "'" sorts below "."
    QCOMPARE(m_dialogs->shown[0].icon, Dialogs::Icon::Error);
    QVERIFY(m_window->isVisible());
    QVERIFY(!Application::quitRequested());
}

QTEST_MAIN(TestConfigFiles)
#include "tst_config_files.moc"
