#include "ExchangeDialogs.h"

#include "app/Dialogs.h"

#include <QDir>
#include <QProgressDialog>

namespace {

const QString filter = QStringLiteral("Pliki tekstowe (*.txt)");

QString startFolder()
{
#ifdef Q_OS_WIN
    return QStringLiteral("C:/");
#else
    return QDir::homePath();
#endif
}

// Like a file dialog kept for the whole run: it offers the file chosen last, at first a proposed
// name in the start folder.
QString choose(QWidget *parent, QString &last, const QString &proposedName, bool save)
{
    if (last.isEmpty())
        last = QDir(startFolder()).filePath(proposedName);
    Dialogs::FileRequest request{save ? QStringLiteral("Eksport danych") : QStringLiteral("Import danych"), filter,
                                 last, false};
    const QString chosen =
        save ? Dialogs::current().saveFileName(parent, request) : Dialogs::current().openFileName(parent, request);
    if (!chosen.isEmpty())
        last = chosen;
    return chosen;
}

} // namespace

namespace ExchangeDialogs {

QString chooseExportFile(QWidget *parent)
{
    static QString last;
    return choose(parent, last, QStringLiteral("gromadnik_eksport.txt"), true);
}

QString chooseImportFile(QWidget *parent)
{
    static QString last;
    return choose(parent, last, QStringLiteral("gromadnik_eksportuj.txt"), false);
}

bool runWithProgress(QWidget *parent, const QString &label, bool cancellable,
                     const std::function<bool(const Exchange::Progress &)> &work)
{
    QProgressDialog window(label, QStringLiteral("Anuluj"), 0, Exchange::scale, parent);
    window.setObjectName(QStringLiteral("PostepWymiany"));
    window.setWindowTitle(QStringLiteral("Gromadnik"));
    window.setWindowModality(Qt::WindowModal);
    window.setMinimumDuration(400);
    window.setAutoClose(false);
    window.setAutoReset(false);
    if (!cancellable)
        window.setCancelButton(nullptr);
    return work([&](int done) {
        window.setValue(done);
        return !window.wasCanceled();
    });
}

} // namespace ExchangeDialogs
