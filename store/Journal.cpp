#include "Journal.h"

#include "Error.h"
#include "FileAccess.h"
#include "ProfileStore.h"
#include "Trash.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QUrl>
#include <filesystem>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace Journal {

namespace {

const QByteArray header = "GROMADNIK-JOURNAL 1";
const QString finishedLater = QStringLiteral("\nPolecenie zostanie dokończone przy następnym uruchomieniu programu.");

QString pathIn(const QString &folder, const QString &name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QString journalIn(const QString &folder)
{
    return pathIn(folder, QString::fromLatin1(fileName));
}

QByteArray encoded(const QString &text)
{
    return QUrl::toPercentEncoding(text);
}

QString decoded(const QByteArray &text)
{
    return QUrl::fromPercentEncoding(text);
}

// Renames, deletes and the journal itself reach the disk only when their folder does.
void syncFolder(const QString &folder)
{
#ifndef Q_OS_WIN
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
#else
    Q_UNUSED(folder);
#endif
}

bool renamed(const QString &from, const QString &to)
{
    std::error_code error;
    std::filesystem::rename(QFile::encodeName(from).toStdString(), QFile::encodeName(to).toStdString(), error);
    return !error;
}

// A journal as read back: its command and steps, or nothing when it was cut short or damaged.
struct Parsed
{
    QString description;
    struct Step
    {
        QByteArray kind;
        QString name;
        QString to;
        QByteArray bytes;
    };
    QList<Step> steps;
};

std::optional<Parsed> parse(const QByteArray &text)
{
    if (!text.endsWith('\n'))
        return std::nullopt;
    const qsizetype endLine = text.lastIndexOf('\n', text.size() - 2) + 1;
    const QList<QByteArray> end = text.mid(endLine).trimmed().split(' ');
    const QByteArray body = text.left(endLine);
    if (end.size() != 3 || end[0] != "end" ||
        end[2] != QCryptographicHash::hash(body, QCryptographicHash::Sha1).toHex())
        return std::nullopt;
    QList<QByteArray> lines = body.split('\n');
    lines.removeLast(); // after the last line end
    if (lines.size() < 2 || lines[0] != header || !lines[1].startsWith("command ") ||
        QByteArray::number(lines.size() - 2) != end[1])
        return std::nullopt;
    Parsed parsed;
    parsed.description = decoded(lines[1].mid(8));
    for (qsizetype i = 2; i < lines.size(); ++i) {
        const QList<QByteArray> words = lines[i].split(' ');
        Parsed::Step step{words[0], words.size() > 1 ? decoded(words[1]) : QString(), {}, {}};
        if (step.kind == "rename" && words.size() == 3)
            step.to = decoded(words[2]);
        else if (step.kind == "write" && words.size() == 3)
            step.bytes = QByteArray::fromBase64(words[2]);
        else if ((step.kind != "delete" && step.kind != "staged") || words.size() != 2)
            return std::nullopt;
        parsed.steps.append(step);
    }
    return parsed;
}

void moveRenamed(const QString &from, const QString &to)
{
    if (!QFile::exists(from))
        return; // moved before the program stopped
    if (QFile::exists(to) && !sameFile(from, to))
        throw AppError(QStringLiteral("Plik %1 należy już do innej pozycji katalogu; plik %2 nie został na niego "
                                      "przeniesiony.")
                           .arg(to, from));
    ProfileStore::forget(from);
    ProfileStore::forget(to);
    if (!renamed(from, to))
        throw AppError(QStringLiteral("Nie można przenieść pliku %1 do %2.").arg(from, to));
}

// A hundred thousand files after an import: the parsed copies are dropped once, at the end.
void moveStagedFiles(const QString &folder, const QStringList &names)
{
    for (const QString &name : names) {
        const QString staged = pathIn(folder, name + QLatin1String(stagedSuffix));
        if (!renamed(staged, pathIn(folder, name)) && QFile::exists(staged)) {
            ProfileStore::clear();
            throw AppError::unableToWrite(pathIn(folder, name));
        }
    }
    ProfileStore::clear();
}

QStringList stagedIn(const QString &folder)
{
    QStringList names;
    const QString suffix = QLatin1String(stagedSuffix);
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted)) {
        if (name.endsWith(suffix) && name.chopped(suffix.size()).endsWith(QLatin1String(".gmd")))
            names.append(name.chopped(suffix.size()));
    }
    return names;
}

// The new content takes the file's name from its copy written before the journal, so that a full
// disk cannot stop the command half way; a journal finished again finds the copy moved already.
void putWritten(const QString &path, const QByteArray &bytes)
{
    const QString written = path + QLatin1String(writtenSuffix);
    ProfileStore::forget(path);
    if (QFile::exists(written)) {
        if (!renamed(written, path))
            throw AppError::unableToWrite(path);
        return;
    }
    QFile file(path);
    if (file.open(QIODevice::ReadOnly) && file.size() == bytes.size() && file.readAll() == bytes)
        return;
    file.close();
    QDir().mkpath(QFileInfo(path).absolutePath()); // a trash entry's folder
    ProfileStore::replace(path, bytes);
}

void apply(const QString &folder, const Parsed::Step &step)
{
    const QString path = pathIn(folder, step.name);
    if (step.kind == "rename")
        moveRenamed(path, pathIn(folder, step.to));
    else if (step.kind == "delete")
        ProfileStore::remove(path);
    else if (step.kind == "write")
        putWritten(path, step.bytes);
    else
        moveStagedFiles(folder, stagedIn(folder));
}

bool isLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

// QSaveFile's temporary: the file's name, "." and six random letters of both cases.
bool isSaveFileTemporary(const QString &name, const QString &stem)
{
    const QStringView random = QStringView(name).right(6);
    return name.size() == stem.size() + 7 && name[stem.size()] == QLatin1Char('.') &&
           std::all_of(random.begin(), random.end(), isLetter) &&
           std::any_of(random.begin(), random.end(), [](QChar c) { return c.isUpper(); }) &&
           std::any_of(random.begin(), random.end(), [](QChar c) { return c.isLower(); });
}

// Only names no catalogue file and no user's file takes: a catalogue file's name with the ending
// that one of this program's ways of writing gives its temporary.
bool isTemporary(const QString &name, bool keepStaged)
{
    const QString gmd = QStringLiteral(".gmd");
    const QString staged = QLatin1String(stagedSuffix);
    if (name.endsWith(QLatin1String(".~gromadnik"))) {
        const QString stem = name.chopped(11);
        return stem.endsWith(gmd) || stem == QLatin1String(fileName) ||
               (stem.endsWith(staged) && stem.chopped(staged.size()).endsWith(gmd)) ||
               (stem.endsWith(QLatin1String(writtenSuffix)) &&
                stem.chopped(qsizetype(sizeof writtenSuffix) - 1).endsWith(gmd));
    }
    if (name.endsWith(staged))
        return !keepStaged && name.chopped(staged.size()).endsWith(gmd);
    const QString written = QLatin1String(writtenSuffix);
    if (name.endsWith(written))
        return !keepStaged && name.chopped(written.size()).endsWith(gmd);
    if (name.size() < 7)
        return false;
    const QString stem = name.chopped(7);
    return (stem.endsWith(gmd) || stem == QLatin1String(fileName)) && isSaveFileTemporary(name, stem);
}

int sweep(const QString &folder, bool keepStaged)
{
    int removed = 0;
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted)) {
        if (isTemporary(name, keepStaged) && QFile::remove(pathIn(folder, name)))
            ++removed;
    }
    return removed;
}

// Steps may reach into the trash's folders, whose entries reach the disk with them alone.
void syncSubfolders(const QString &folder, const QStringList &names)
{
    QSet<QString> synced;
    for (const QString &name : names) {
        const qsizetype slash = name.lastIndexOf(QLatin1Char('/'));
        if (slash > 0 && !synced.contains(name.left(slash))) {
            synced.insert(name.left(slash));
            syncFolder(pathIn(folder, name.left(slash)));
        }
    }
}

void removeJournal(const QString &folder)
{
    syncFolder(folder); // every change first
    QFile::remove(journalIn(folder));
    syncFolder(folder);
}

// Runs a journal found in the folder to its end. Answers its command; throws when a step fails.
std::optional<QString> finish(const QString &folder, bool &discarded)
{
    const std::lock_guard guard(commandLock());
    QFile file(journalIn(folder));
    if (!file.exists())
        return std::nullopt;
    const std::optional<Parsed> parsed = file.open(QIODevice::ReadOnly) ? parse(file.readAll()) : std::nullopt;
    file.close();
    if (!parsed) {
        discarded = true;
        sweep(folder, false);
        removeJournal(folder);
        return std::nullopt;
    }
    ProfileStore::clear();
    QStringList names;
    for (const Parsed::Step &step : parsed->steps) {
        apply(folder, step);
        names << step.name << step.to;
    }
    syncSubfolders(folder, names);
    removeJournal(folder);
    return parsed->description;
}

} // namespace

std::mutex &commandLock()
{
    static std::mutex lock;
    return lock;
}

QString folderOf(const QString &dir)
{
    return QFileInfo(dir + QStringLiteral("kategorie.gmd")).absolutePath();
}

QString stagedName(const QString &fileName)
{
    return fileName + QLatin1String(stagedSuffix);
}

bool sameFile(const QString &a, const QString &b)
{
#ifdef Q_OS_WIN
    return a.compare(b, Qt::CaseInsensitive) == 0;
#else
    struct stat first;
    struct stat second;
    return ::stat(QFile::encodeName(a).constData(), &first) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &second) == 0 && first.st_dev == second.st_dev &&
           first.st_ino == second.st_ino;
#endif
}

Command::Command(const QString &dir, QString description)
    : m_dir(dir), m_folder(folderOf(dir)), m_description(std::move(description))
{
    settle(dir); // before the command reads what it is to change
}

// A name inside the folder, "Kosz/<entry>/<file>" for a file of the trash.
QString Command::local(const QString &file) const
{
    const QString relative = QDir(m_folder).relativeFilePath(QFileInfo(file).absoluteFilePath());
    return relative.startsWith(QLatin1String("..")) ? QFileInfo(file).fileName() : relative;
}

void Command::rename(const QString &from, const QString &to)
{
    m_steps.append({Step::Rename, local(from), local(to), {}});
}

void Command::remove(const QString &file)
{
    m_steps.append({Step::Delete, local(file), {}, {}});
}

void Command::write(const QString &file, const QByteArray &bytes)
{
    m_steps.append({Step::Write, local(file), {}, bytes});
}

void Command::moveStaged(const QStringList &files)
{
    for (const QString &file : files)
        m_staged.append(local(file));
    m_steps.append({Step::Staged, QLatin1String(stagedSuffix), {}, {}});
}

void Command::check() const
{
    for (const Step &step : m_steps) {
        const QString path = pathIn(m_folder, step.name);
        if (step.kind == Step::Write) {
            const QFileInfo info(path);
            if (!QFileInfo(m_folder).isDir() || (info.exists() && (!info.isFile() || FileAccess::isReadOnly(path))))
                throw AppError::unableToWrite(path);
        } else if (step.kind == Step::Rename) {
            const QString to = pathIn(m_folder, step.to);
            if (QFile::exists(to) && !sameFile(path, to))
                throw AppError(QStringLiteral("Plik %1 należy już do innej pozycji katalogu, a polecenie przeniosłoby "
                                              "na niego plik %2. Nic nie zostało zmienione.")
                                   .arg(to, path));
        }
    }
}

void Command::run()
{
    const std::lock_guard guard(commandLock());
    check();
    QByteArray text = header + "\ncommand " + encoded(m_description) + '\n';
    for (const Step &step : std::as_const(m_steps)) {
        switch (step.kind) {
        case Step::Rename:
            text += "rename " + encoded(step.name) + ' ' + encoded(step.to) + '\n';
            break;
        case Step::Delete:
            text += "delete " + encoded(step.name) + '\n';
            break;
        case Step::Write:
            text += "write " + encoded(step.name) + ' ' + step.bytes.toBase64() + '\n';
            break;
        case Step::Staged:
            text += "staged " + encoded(step.name) + '\n';
            break;
        }
    }
    text += "end " + QByteArray::number(m_steps.size()) + ' ' +
            QCryptographicHash::hash(text, QCryptographicHash::Sha1).toHex() + '\n';
    const QString journal = journalIn(m_folder);
    QStringList written;
    try {
        for (const Step &step : std::as_const(m_steps)) {
            if (step.kind != Step::Write)
                continue;
            written.append(pathIn(m_folder, step.name) + QLatin1String(writtenSuffix));
            FileAccess::writeAtomically(written.last(), step.bytes); // waits for the disk
        }
        // Staged files must be on the disk under their names before a journal can ask to move them.
        if (!m_staged.isEmpty() || !written.isEmpty())
            syncFolder(m_folder);
        FileAccess::writeAtomically(journal, text); // waits for the disk
    } catch (const AppError &) {
        for (const QString &file : std::as_const(written))
            QFile::remove(file); // nothing of the catalogue has changed
        throw;
    }
    syncFolder(m_folder);

    // The parsed copies are keyed by the names that change.
    if (std::any_of(m_steps.begin(), m_steps.end(), [](const Step &step) { return step.kind == Step::Rename; }))
        ProfileStore::clear();
    qsizetype done = 0;
    try {
        for (const Step &step : std::as_const(m_steps)) {
            const QString path = pathIn(m_folder, step.name);
            switch (step.kind) {
            case Step::Rename:
                moveRenamed(path, pathIn(m_folder, step.to));
                break;
            case Step::Delete:
                ProfileStore::remove(path);
                break;
            case Step::Write:
                putWritten(path, step.bytes);
                break;
            case Step::Staged:
                moveStagedFiles(m_folder, m_staged);
                break;
            }
            ++done;
        }
    } catch (const AppError &error) {
        if (done > 0)
            throw AppError(error.message() + finishedLater);
        QFile::remove(journal); // nothing changed
        for (const QString &file : std::as_const(written))
            QFile::remove(file);
        syncFolder(m_folder);
        throw;
    }
    QStringList names;
    for (const Step &step : std::as_const(m_steps))
        names << step.name << step.to;
    syncSubfolders(m_folder, names);
    removeJournal(m_folder);
}

QString Recovery::notice() const
{
    QStringList lines;
    if (!failed.isEmpty())
        lines << QStringLiteral("Poprzednie polecenie (%1) zostało przerwane i nie udało się go dokończyć: %2\n"
                                "Program spróbuje je dokończyć przy następnym uruchomieniu.")
                     .arg(command, failed);
    else if (!command.isEmpty())
        lines << QStringLiteral("Poprzednie polecenie (%1) zostało przerwane; dokończono je.").arg(command);
    if (discarded)
        lines << QStringLiteral("Poprzednie polecenie zostało przerwane, zanim cokolwiek zmieniło; katalog pozostał "
                                "bez zmian.");
    if (temporaries > 0)
        lines << QStringLiteral("Usunięto pliki tymczasowe pozostawione przez przerwany zapis (liczba plików: %1); "
                                "pliki katalogu nie zostały przez to zmienione.")
                     .arg(temporaries);
    return lines.join(QLatin1Char('\n'));
}

Recovery recover(const QString &dir)
{
    Recovery recovery;
    const QString folder = folderOf(dir);
    if (!QFileInfo(folder).isDir())
        return recovery;
    bool keepStaged = false;
    try {
        if (const auto command = finish(folder, recovery.discarded))
            recovery.command = *command;
    } catch (const AppError &error) {
        QFile file(journalIn(folder));
        const auto parsed = file.open(QIODevice::ReadOnly) ? parse(file.readAll()) : std::nullopt;
        recovery.command = parsed ? parsed->description : QString();
        recovery.failed = error.message();
        keepStaged = true;
    }
    recovery.temporaries = sweep(folder, keepStaged);
    if (recovery.failed.isEmpty())
        recovery.temporaries += Trash::tidy(dir);
    return recovery;
}

void settle(const QString &dir)
{
    bool discarded = false;
    finish(folderOf(dir), discarded);
}

int removeTemporaries(const QString &folder)
{
    return sweep(folder, false);
}

bool isPending(const QString &dir)
{
    return QFile::exists(journalIn(folderOf(dir)));
}

void removeStaged(const QString &dir)
{
    const QString folder = folderOf(dir);
    const QString staged = QLatin1String(stagedSuffix);
    for (const QString &name : QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted)) {
        if ((name.endsWith(staged) || name.endsWith(staged + QStringLiteral(".~gromadnik"))) &&
            isTemporary(name, false))
            QFile::remove(pathIn(folder, name));
    }
}

} // namespace Journal
