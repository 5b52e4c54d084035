#include "PhotoRelink.h"

#include "PhotoLists.h"
#include "store/Codepage.h"
#include "store/Error.h"
#include "store/Journal.h"
#include "store/ProfileBatch.h"
#include "store/ProfileFile.h"

#include <QDir>
#include <QSet>

namespace PhotoRelink {

namespace {

#ifdef Q_OS_WIN
constexpr Qt::CaseSensitivity pathCase = Qt::CaseInsensitive;
#else
constexpr Qt::CaseSensitivity pathCase = Qt::CaseSensitive;
#endif

bool isSeparator(QChar c)
{
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// The folder without separators at its end, unless it is a root ("/", "C:\").
QString trimmed(QString folder)
{
    while (folder.size() > 1 && isSeparator(folder.back()) && !folder.endsWith(QLatin1String(":\\")))
        folder.chop(1);
    return folder;
}

// One photo list entry to change.
struct Change
{
    QString listFile;
    int key = 0;
    QString path; // the stored one
    QString to;
};

const QString nothingChanged = QStringLiteral("\nNic nie zostało zmienione.");

void checkFolder(const QString &newFolder)
{
    if (const QString problem = Codepage::unencodableMessage(newFolder); !problem.isEmpty())
        throw AppError(QStringLiteral("Ścieżek zdjęć w folderze %1 nie można zapisać w katalogu: %2%3")
                           .arg(newFolder, problem, nothingChanged));
}

void checkLengths(const QList<Change> &changes)
{
    for (const Change &change : changes) {
        if (change.to.size() > ProfileFile::maxValueLength) // one byte a character in Windows-1250
            throw AppError(QStringLiteral("Ścieżka %1 jest za długa, by zapisać ją w katalogu (najwyżej %2 znaków).%3")
                               .arg(change.to)
                               .arg(ProfileFile::maxValueLength)
                               .arg(nothingChanged));
    }
}

// Every entry under the old folder whose file the new one holds; the others counted in `result`.
QList<Change> changesIn(const QString &dir, const QString &oldFolder, const QString &newFolder, Result &result)
{
    QList<Change> candidates;
    PhotoLists::each(dir, [&](const PhotoLists::Item &item) {
        for (int p = 0; p < item.paths.size(); ++p) {
            if (QString to = moved(item.paths[p], oldFolder, newFolder); !to.isEmpty())
                candidates.append({item.listFile, p, item.paths[p], std::move(to)});
        }
        return true;
    });
    QStringList targets;
    targets.reserve(candidates.size());
    for (const Change &change : std::as_const(candidates))
        targets.append(change.to);
    const QList<bool> there = PhotoLists::existing(targets);
    QList<Change> changes;
    QSet<QString> relinked, left;
    for (qsizetype i = 0; i < candidates.size(); ++i) {
        (there[i] ? relinked : left).insert(candidates[i].path);
        if (there[i])
            changes.append(std::move(candidates[i]));
    }
    result.relinked = int(relinked.size());
    result.left = int(left.size());
    return changes;
}

// Each photo list written whole under its staged name, for the journal to move them all into place.
QStringList writeStaged(const QList<Change> &changes)
{
    ProfileBatch batch(ProfileBatch::Mode::Staged);
    for (qsizetype i = 0; i < changes.size();) {
        const QString &listFile = changes[i].listFile;
        ProfileFile file(listFile, batch);
        for (; i < changes.size() && changes[i].listFile == listFile; ++i)
            file.WriteText(QStringLiteral("zdjecia"), QString::number(changes[i].key), changes[i].to);
        batch.commit(listFile);
    }
    batch.commitAll();
    return batch.staged();
}

} // namespace

QString moved(const QString &path, const QString &oldFolder, const QString &newFolder)
{
    const QString old = trimmed(oldFolder);
    if (old.isEmpty() || !path.startsWith(old, pathCase))
        return {};
    qsizetype rest = old.size();
    if (!isSeparator(old.back())) {
        if (path.size() <= rest || !isSeparator(path[rest]))
            return {}; // another folder whose name begins alike
        ++rest;
    }
    if (rest >= path.size())
        return {};
    const QChar separator = QDir::separator();
    QString to = trimmed(newFolder);
    if (to.isEmpty())
        return {};
    if (!isSeparator(to.back()))
        to += separator;
    for (qsizetype i = rest; i < path.size(); ++i)
        to += isSeparator(path[i]) ? separator : path[i];
    return to;
}

Result run(const QString &dir, const QString &oldFolder, const QString &newFolder)
{
    Journal::Command command(
        dir, QStringLiteral("ponowne przypisanie zdjęć z folderu %1 do folderu %2").arg(oldFolder, newFolder));
    checkFolder(newFolder);
    Journal::removeStaged(dir); // of a command that failed or was cut short
    Result result;
    const QList<Change> changes = changesIn(dir, oldFolder, newFolder, result);
    checkLengths(changes);
    if (changes.isEmpty())
        return result;
    try {
        const QStringList staged = writeStaged(changes);
        result.files = int(staged.size());
        command.moveStaged(staged);
        command.run();
    } catch (const AppError &error) {
        // Until the journal is written nothing of the catalogue has changed; after, it is the journal's.
        if (!Journal::isPending(dir))
            Journal::removeStaged(dir);
        throw AppError(QString(error.message()).remove(QLatin1String(Journal::stagedSuffix)));
    }
    return result;
}

} // namespace PhotoRelink
