#include "BackupArchive.h"

#include "Error.h"
#include "FileAccess.h"
#include "Journal.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <cerrno>
#include <memory>
#include <zip.h>

namespace BackupArchive {

namespace {

const QByteArray commentStart = "Gromadnik: pozycje=";
const QString nothingChanged = QStringLiteral(" Katalog nie został zmieniony.");
// Small files shrink little and cost the compressor more than they save.
constexpr qsizetype storedBelow = 512;

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Why the system could not write, in the user's words.
QString writeProblem(int systemError)
{
    switch (systemError) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("na dysku zabrakło miejsca");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("nie ma prawa zapisu w tym folderze");
    case ENOENT:
        return QStringLiteral("folder nie istnieje");
    default:
        return QStringLiteral("zapis się nie powiódł");
    }
}

AppError notWritten(const QString &path, int systemError)
{
    return AppError(QStringLiteral("Nie można utworzyć kopii zapasowej %1: %2. Zwolnij miejsce na dysku albo wybierz "
                                   "inny folder kopii zapasowych w oknie konfiguracji.")
                        .arg(native(path), writeProblem(systemError)));
}

AppError refused(const QString &archive, const QString &why)
{
    return AppError(
        QStringLiteral("Nie można przywrócić katalogu z pliku %1: %2.%3").arg(native(archive), why, nothingChanged));
}

QString damage(int zipError)
{
    switch (zipError) {
    case ZIP_ER_NOZIP:
        return QStringLiteral("plik nie jest archiwum zip albo jest niekompletny");
    case ZIP_ER_OPEN:
    case ZIP_ER_NOENT:
    case ZIP_ER_READ:
        return QStringLiteral("pliku nie można odczytać");
    default:
        return QStringLiteral("archiwum jest uszkodzone");
    }
}

struct ZipCloser
{
    void operator()(zip_t *archive) const { zip_discard(archive); }
};
using Zip = std::unique_ptr<zip_t, ZipCloser>;

// A name that the archive may bring into the data folder: a file of the folder itself, named as a
// catalogue file.
bool isPlainName(const QString &name)
{
    static const QString forbidden = QStringLiteral("/\\:");
    return name.size() > 4 && name != QLatin1String("..") &&
           std::none_of(name.begin(), name.end(),
                        [](QChar c) { return forbidden.contains(c) || c.unicode() < 0x20; }) &&
           name.endsWith(QLatin1String(".gmd"), Qt::CaseInsensitive);
}

QByteArray readEntry(zip_t *archive, zip_uint64_t index, const QString &path)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_stat_index(archive, index, 0, &stat) != 0 || !(stat.valid & ZIP_STAT_SIZE) || stat.size > (1u << 30))
        throw refused(path, damage(ZIP_ER_INCONS));
    zip_file_t *file = zip_fopen_index(archive, index, 0);
    if (!file)
        throw refused(path, damage(zip_error_code_zip(zip_get_error(archive))));
    QByteArray bytes(qsizetype(stat.size), Qt::Uninitialized);
    const zip_int64_t got = zip_fread(file, bytes.data(), stat.size);
    // One byte more must find the end: only there does libzip compare the checksum.
    char extra;
    const bool whole = got == zip_int64_t(stat.size) && zip_fread(file, &extra, 1) == 0;
    zip_fclose(file);
    if (!whole)
        throw refused(path, damage(ZIP_ER_CRC));
    return bytes;
}

void progressOf(zip_t *, double done, void *state)
{
    (*static_cast<const Backup::Progress *>(state))(int(done * 1000));
}

void addAll(zip_t *archive, const Contents &contents, const QString &path)
{
    for (qsizetype i = 0; i < contents.names.size(); ++i) {
        const QByteArray &bytes = contents.bytes[i];
        zip_source_t *source = zip_source_buffer(archive, bytes.constData(), zip_uint64_t(bytes.size()), 0);
        const zip_int64_t index =
            source ? zip_file_add(archive, contents.names[i].toUtf8().constData(), source, ZIP_FL_ENC_UTF_8) : -1;
        if (index < 0) {
            zip_source_free(source);
            throw notWritten(path, 0);
        }
        zip_set_file_compression(archive, zip_uint64_t(index),
                                 bytes.size() < storedBelow ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 1);
    }
    const QByteArray comment = commentStart + QByteArray::number(contents.items);
    zip_set_archive_comment(archive, comment.constData(), zip_uint16_t(comment.size()));
}

} // namespace

int itemsOf(const QByteArray &itemFile)
{
    bool inConfig = false;
    for (qsizetype from = 0; from < itemFile.size();) {
        qsizetype end = itemFile.indexOf('\n', from);
        end = end < 0 ? itemFile.size() : end;
        const QByteArrayView line = QByteArrayView(itemFile).sliced(from, end - from).trimmed();
        from = end + 1;
        if (line.startsWith('['))
            inConfig = line == "[config]";
        else if (inConfig && line.startsWith("liczba_pozycji="))
            return std::max(0, line.sliced(15).trimmed().toInt());
    }
    return 0;
}

Contents readCatalogue(const QString &dir, const QString &prefix)
{
    const std::lock_guard guard(Journal::commandLock());
    if (Journal::isPending(dir))
        throw AppError(QStringLiteral("Nie można utworzyć kopii zapasowej: poprzednie polecenie nie zostało "
                                      "dokończone. Uruchom program ponownie, aby je dokończyć."));
    Contents contents;
    for (const QString &file : Backup::catalogueFiles(dir)) {
        const std::optional<FileAccess::Contents> read = FileAccess::readWhole(QFile::encodeName(file));
        if (!read)
            throw AppError(
                QStringLiteral("Nie można utworzyć kopii zapasowej: nie można odczytać pliku %1.").arg(native(file)));
        contents.names.append(QFileInfo(file).fileName().mid(prefix.size()));
        contents.bytes.append(read->bytes);
        if (file.endsWith(QLatin1String("_dane.gmd"), Qt::CaseInsensitive))
            contents.items += itemsOf(read->bytes);
    }
    return contents;
}

void write(const QString &path, const QString &temporary, const Contents &contents, const Backup::Progress &progress)
{
    int error = 0;
    Zip archive(zip_open(QFile::encodeName(temporary).constData(), ZIP_CREATE | ZIP_TRUNCATE, &error));
    if (!archive)
        throw notWritten(path, errno);
    addAll(archive.get(), contents, path);
    if (progress)
        zip_register_progress_callback_with_state(archive.get(), 0.01, progressOf, nullptr,
                                                  const_cast<Backup::Progress *>(&progress));
    if (zip_close(archive.get()) != 0) {
        const int system = zip_error_code_system(zip_get_error(archive.get()));
        QFile::remove(temporary);
        throw notWritten(path, system);
    }
    archive.release();
    try {
        FileAccess::syncFile(temporary);
    } catch (const AppError &) {
        QFile::remove(temporary);
        throw notWritten(path, ENOSPC);
    }
    if (!QFile::rename(temporary, path)) {
        QFile::remove(temporary);
        throw notWritten(path, errno);
    }
    FileAccess::syncFolder(QFileInfo(path).absolutePath());
}

Contents read(const QString &path)
{
    int error = 0;
    Zip archive(zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY | ZIP_CHECKCONS, &error));
    if (!archive)
        throw refused(path, damage(error));
    Contents contents;
    QSet<QString> seen;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t i = 0; i < count; ++i) {
        const char *raw = zip_get_name(archive.get(), zip_uint64_t(i), ZIP_FL_ENC_GUESS);
        const QString name = raw ? QString::fromUtf8(raw) : QString();
        if (!isPlainName(name))
            throw refused(path, QStringLiteral("archiwum zawiera plik \"%1\", który nie jest plikiem katalogu w "
                                               "folderze danych")
                                    .arg(name));
        if (seen.contains(name.toLower()))
            throw refused(path, QStringLiteral("archiwum zawiera dwa razy plik \"%1\"").arg(name));
        seen.insert(name.toLower());
        contents.names.append(name);
        contents.bytes.append(readEntry(archive.get(), zip_uint64_t(i), path));
        if (name.endsWith(QLatin1String("_dane.gmd"), Qt::CaseInsensitive))
            contents.items += itemsOf(contents.bytes.last());
    }
    if (!seen.contains(QStringLiteral("kategorie.gmd")))
        throw refused(path, QStringLiteral("archiwum nie zawiera listy kategorii (kategorie.gmd), więc nie jest kopią "
                                           "katalogu programu Gromadnik"));
    return contents;
}

int itemCountOf(const QString &archive)
{
    QFile file(archive);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    // The end record is the last 22 bytes but for the comment that follows it.
    const qint64 tail = std::min<qint64>(file.size(), 22 + 64);
    file.seek(file.size() - tail);
    const QByteArray end = file.read(tail);
    const qsizetype record = end.lastIndexOf("PK\x05\x06");
    if (record < 0 || end.size() < record + 22)
        return -1;
    const QByteArray comment = end.mid(record + 22);
    if (!comment.startsWith(commentStart))
        return -1;
    bool ok = false;
    const int items = comment.mid(commentStart.size()).toInt(&ok);
    return ok ? items : -1;
}

} // namespace BackupArchive
