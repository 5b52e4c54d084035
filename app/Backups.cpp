#include "Backups.h"

#include "Dialogs.h"
#include "store/Backup.h"
#include "store/DataDirectory.h"
#include "store/Error.h"
#include "store/Journal.h"

#include <QDate>
#include <QEventLoop>
#include <QPointer>
#include <QProgressBar>
#include <QStatusBar>
#include <QThread>

namespace Backups {

namespace {

class Runner : public QObject
{
public:
    QPointer<QProgressBar> bar;

    bool isRunning() const { return m_thread != nullptr; }

    // Starts a backup of the catalogue of `dir`; `finished` runs on this thread with the archive's
    // name or the reason it was not made.
    void start(const QString &dir, std::function<void(const QString &path, const QString &error)> finished)
    {
        // A journal a failed command left is finished here, where the store's parsed files live.
        Journal::settle(dir);
        const QString folder = Backup::folder();
        showProgress(0);
        m_thread = QThread::create([this, dir, folder] { make(dir, folder); });
        connect(m_thread, &QThread::finished, this, [this, finished = std::move(finished)] {
            m_thread->deleteLater();
            m_thread = nullptr;
            if (bar)
                bar->hide();
            for (QEventLoop *loop : std::as_const(m_waiting))
                loop->quit();
            finished(m_path, m_error);
        });
        m_thread->start(QThread::LowPriority);
    }

    void wait()
    {
        while (m_thread) {
            QEventLoop loop;
            m_waiting.append(&loop);
            loop.exec(QEventLoop::ExcludeUserInputEvents);
            m_waiting.removeOne(&loop);
        }
    }

private:
    void make(const QString &dir, const QString &folder)
    {
        m_path.clear();
        m_error.clear();
        try {
            m_path = Backup::create(dir, folder, [this](int done) {
                QMetaObject::invokeMethod(
                    this, [this, done] { showProgress(done); }, Qt::QueuedConnection);
            });
        } catch (const AppError &error) {
            m_error = error.message();
        } catch (const std::exception &) {
            m_error = QStringLiteral("Nie można utworzyć kopii zapasowej: zabrakło pamięci.");
        }
    }

    void showProgress(int done)
    {
        if (!bar)
            return;
        bar->setValue(done);
        bar->show();
    }

    QThread *m_thread = nullptr;
    QList<QEventLoop *> m_waiting;
    QString m_path; // written by the thread, read once it has finished
    QString m_error;
};

Runner &runner()
{
    static Runner instance;
    return instance;
}

} // namespace

void showProgressIn(QStatusBar *bar)
{
    auto *progress = new QProgressBar(bar);
    progress->setObjectName(QStringLiteral("PostepKopii"));
    progress->setAccessibleName(QStringLiteral("Postęp kopii zapasowej"));
    progress->setAccessibleDescription(QStringLiteral("Postęp kopii zapasowej"));
    progress->setRange(0, 1000);
    progress->setFormat(QStringLiteral("Kopia zapasowa: %p%"));
    progress->setMaximumWidth(180);
    progress->hide();
    bar->addPermanentWidget(progress);
    runner().bar = progress;
}

void startDaily()
{
    // A stored path that is no text is the main window's to tell, once.
    if (!DataDirectory::problem().isEmpty())
        return;
    const QString dir = DataDirectory::path();
    if (dir.isEmpty() || runner().isRunning() || Backup::catalogueFiles(dir).isEmpty())
        return;
    const QList<Backup::Archive> archives = Backup::list(Backup::folder());
    if (!archives.isEmpty() && archives.first().made.date() >= QDate::currentDate())
        return;
    runner().start(dir, [](const QString &, const QString &error) {
        if (!error.isEmpty())
            Dialogs::error(error);
    });
}

QString makeNow()
{
    Runner &backups = runner();
    backups.wait(); // one at a time: the one running may have begun before the last change
    QString path;
    QString error;
    backups.start(DataDirectory::path(), [&](const QString &made, const QString &failure) {
        path = made;
        error = failure;
    });
    backups.wait();
    if (!error.isEmpty())
        throw AppError(error);
    return path;
}

bool isRunning()
{
    return runner().isRunning();
}

void waitForEnd()
{
    runner().wait();
}

} // namespace Backups
