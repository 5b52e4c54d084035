#include "Backup.h"

#include "BackupArchive.h"
#include "DataDirectory.h"
#include "Error.h"
#include "FileAccess.h"
#include "Journal.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <QSettings>
#include <QStandardPaths>
#include <algorithm>

namespace Backup {

namespace {

const QString settingName = QStringLiteral("kopie_zapasowe/folder");
const QString timeFormat = QStringLiteral("yyyy-MM-dd HH-mm-ss");
const QString temporaryEnding = QStringLiteral(".tmp");
constexpr int keptNewest = 20;
constexpr int keptMonths = 12;

const QRegularExpression &namePattern()
{
    static const QRegularExpression pattern(
        QStringLiteral("^Gromadnik (\\d{4}-\\d\\d-\\d\\d \\d\\d-\\d\\d-\\d\\d)\\.zip$"));
    return pattern;
}

// The part of the catalogue files' names that the data directory puts before their own names.
QString namePrefix(const QString &dir)
{
    return QFileInfo(dir + QStringLiteral("kategorie.gmd")).fileName().chopped(13);
}

// A name free for a new archive: two made within one second take the next second's name.
QString freeName(const QString &folder)
{
    QDateTime made = QDateTime::currentDateTime();
    while (QFileInfo::exists(QDir(folder).filePath(archiveName(made))))
        made = made.addSecs(1);
    return QDir(folder).filePath(archiveName(made));
}

// Temporaries of archives whose writing was cut short (by a crash, a full disk).
void removeTemporaries(const QString &folder)
{
    QDir dir(folder);
    for (const QString &name : dir.entryList({QStringLiteral("Gromadnik *.zip.tmp*")}, QDir::Files | QDir::Hidden)) {
        const qsizetype end = name.indexOf(QStringLiteral(".zip.tmp")) + 4;
        if (madeAt(name.left(end)).isValid())
            dir.remove(name);
    }
}

void prune(const QString &folder)
{
    const QList<Archive> archives = list(folder);
    QList<QDateTime> made;
    for (const Archive &archive : archives)
        made.append(archive.made);
    const QList<QDateTime> old = expired(made, QDateTime::currentDateTime());
    for (const Archive &archive : archives) {
        if (old.contains(archive.made))
            QFile::remove(archive.path);
    }
}

} // namespace

QString defaultFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + QStringLiteral("/Kopie zapasowe");
}

QString folder()
{
    const QString chosen = DataDirectory::userSettings()->value(settingName).toString();
    return chosen.isEmpty() ? defaultFolder() : chosen;
}

void setFolder(const QString &folder)
{
    const auto settings = DataDirectory::userSettings();
    if (folder.isEmpty())
        settings->remove(settingName);
    else
        settings->setValue(settingName, folder);
    settings->sync();
    if (settings->status() != QSettings::NoError)
        throw AppError(QStringLiteral("Nie można zapisać ustawienia folderu kopii zapasowych."));
}

QString archiveName(const QDateTime &made)
{
    return QStringLiteral("Gromadnik %1.zip").arg(made.toString(timeFormat));
}

QDateTime madeAt(const QString &fileName)
{
    const QRegularExpressionMatch match = namePattern().match(fileName);
    return match.hasMatch() ? QDateTime::fromString(match.captured(1), timeFormat) : QDateTime();
}

QStringList catalogueFiles(const QString &dir)
{
    const QString prefix = namePrefix(dir);
    const QDir folder(Journal::folderOf(dir));
    QStringList files;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name)) {
        if (name.size() > prefix.size() + 4 && name.startsWith(prefix) &&
            name.endsWith(QLatin1String(".gmd"), Qt::CaseInsensitive))
            files.append(dir + name.mid(prefix.size()));
    }
    return files;
}

QList<Archive> list(const QString &folder)
{
    QList<Archive> archives;
    const QDir dir(folder);
    for (const QFileInfo &info : dir.entryInfoList({QStringLiteral("Gromadnik *.zip")}, QDir::Files)) {
        const QDateTime made = madeAt(info.fileName());
        if (made.isValid())
            archives.append({info.filePath(), made, info.size(), BackupArchive::itemCountOf(info.filePath())});
    }
    std::sort(archives.begin(), archives.end(), [](const Archive &a, const Archive &b) { return a.made > b.made; });
    return archives;
}

QList<QDateTime> expired(QList<QDateTime> made, const QDateTime &now)
{
    std::sort(made.begin(), made.end(), std::greater<>());
    QList<QDateTime> old;
    QList<QDate> monthsKept;
    const QDate thisMonth(now.date().year(), now.date().month(), 1);
    for (qsizetype i = 0; i < made.size(); ++i) {
        const QDate month(made[i].date().year(), made[i].date().month(), 1);
        const bool recentMonth = month <= thisMonth && month > thisMonth.addMonths(-keptMonths);
        const bool newestOfMonth = recentMonth && !monthsKept.contains(month);
        if (newestOfMonth)
            monthsKept.append(month);
        if (i >= keptNewest && !newestOfMonth)
            old.append(made[i]);
    }
    return old;
}

QString create(const QString &dir, const QString &folder, const Progress &progress)
{
    if (!QDir().mkpath(folder) || !QFileInfo(folder).isDir())
        throw AppError(QStringLiteral("Nie można utworzyć folderu kopii zapasowych %1. Wybierz inny folder w oknie "
                                      "konfiguracji.")
                           .arg(QDir::toNativeSeparators(folder)));
    removeTemporaries(folder);
    const BackupArchive::Contents contents = BackupArchive::readCatalogue(dir, namePrefix(dir));
    if (contents.names.isEmpty())
        return {};
    const QString path = freeName(folder);
    BackupArchive::write(path, path + temporaryEnding, contents, progress);
    prune(folder);
    return path;
}

void restore(const QString &dir, const QString &archive, const std::function<void()> &beforeChange)
{
    const BackupArchive::Contents contents = BackupArchive::read(archive);
    if (beforeChange)
        beforeChange();
    const QString folder = Journal::folderOf(dir);
    if (!QDir().mkpath(folder))
        throw AppError::unableToWrite(dir + QStringLiteral("kategorie.gmd"));
    Journal::settle(dir);
    Journal::removeStaged(dir);
    QStringList staged;
    try {
        for (qsizetype i = 0; i < contents.names.size(); ++i) {
            const QString file = dir + contents.names[i];
            // A file that holds the archive's bytes already is left alone: replacing a hundred
            // thousand files costs the disk far more than reading them.
            const auto present = FileAccess::readWhole(QFile::encodeName(file));
            if (present && present->bytes == contents.bytes[i])
                continue;
            staged.append(file);
            FileAccess::writeWithoutSync(Journal::stagedName(file), contents.bytes[i], false);
        }
        if (!staged.isEmpty())
            FileAccess::syncFolder(folder);
        Journal::Command command(dir,
                                 QStringLiteral("przywrócenie kopii zapasowej %1").arg(QFileInfo(archive).fileName()));
        const QSet<QString> kept(contents.names.cbegin(), contents.names.cend());
        bool changes = !staged.isEmpty();
        for (const QString &present : catalogueFiles(dir)) {
            if (!kept.contains(present.mid(dir.size()))) {
                command.remove(present);
                changes = true;
            }
        }
        if (!staged.isEmpty())
            command.moveStaged(staged);
        if (changes)
            command.run();
    } catch (const AppError &error) {
        // Until the journal is written, the staged files are no part of the catalogue.
        if (!Journal::isPending(dir))
            Journal::removeStaged(dir);
        throw AppError(QString(error.message()).remove(QLatin1String(Journal::stagedSuffix)));
    }
}

} // namespace Backup
