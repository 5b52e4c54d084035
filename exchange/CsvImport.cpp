#include "CsvImport.h"

#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "store/Error.h"
#include "store/Journal.h"
#include "store/MultilineText.h"
#include "store/ProfileBatch.h"
#include "store/ProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

namespace CsvImport {

namespace {

const QString config = QStringLiteral("config");
const QString fieldsSection = QStringLiteral("pozycje");
const QString countKey = QStringLiteral("liczba_pozycji");
const QString nothingImported = QStringLiteral("\nNiczego nie zaimportowano.");

// One row made ready to be written.
struct Row
{
    ItemValues values;
    QStringList photos;
};

QString folded(const QString &name)
{
    return name.trimmed().toCaseFolded();
}

class Check
{
public:
    Check(const QStringList &header, int headerRows) : m_header(header), m_headerRows(headerRows) {}

    // `row` counts the data rows from 0.
    [[noreturn]] void refuse(int row, int column, const QString &problem) const
    {
        const QString name = m_header.value(column).trimmed();
        throw AppError(
            QStringLiteral("Wiersz %1, kolumna %2%3: %4%5")
                .arg(row + 1 + m_headerRows)
                .arg(column + 1)
                .arg(name.isEmpty() ? QString() : QStringLiteral(" (\"%1\")").arg(name), problem, nothingImported));
    }

    void text(int row, int column, const QString &value, qsizetype stored) const
    {
        if (!Codepage::tryEncode(value))
            refuse(row, column, Codepage::unencodableMessage(value));
        if (stored > ProfileFile::maxValueLength)
            refuse(row, column,
                   QStringLiteral("wartość zajęłaby w pliku katalogu %1 znaków, a można zapisać najwyżej %2.")
                       .arg(stored)
                       .arg(ProfileFile::maxValueLength));
    }

    void line(int row, int column, const QString &value) const
    {
        if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
            refuse(row, column,
                   QStringLiteral("pole nie może zawierać końca wiersza. Skieruj tę kolumnę do opisu lub komentarza "
                                  "albo usuń z niej końce wierszy."));
    }

private:
    QStringList m_header;
    int m_headerRows;
};

void checkTargets(const QList<int> &targets)
{
    QHash<int, int> taken;
    for (int column = 0; column < targets.size(); ++column) {
        const int target = targets[column];
        if (target < 0 || target >= Skip || target == Photos)
            continue; // photos of several columns are joined
        if (taken.contains(target))
            throw AppError(QStringLiteral("Kolumny %1 i %2 mają trafić w to samo miejsce. Wybierz dla jednej z nich "
                                          "inne pole albo \"(pomiń)\".%3")
                               .arg(taken[target] + 1)
                               .arg(column + 1)
                               .arg(nothingImported));
        taken.insert(target, column);
    }
}

QStringList photoPaths(const QString &cell)
{
    QStringList paths;
    for (const QStringView line : QStringView(cell).tokenize(u'\n')) {
        const QString path = line.trimmed().toString(); // a CR of CR LF goes with the blanks
        if (!path.isEmpty())
            paths.append(path);
    }
    return paths;
}

QList<Row> rowsOf(const QList<QStringList> &rows, const QList<int> &targets, const Check &check)
{
    QList<Row> made;
    made.reserve(rows.size());
    for (int r = 0; r < rows.size(); ++r) {
        Row row;
        const QStringList &cells = rows[r];
        for (int c = 0; c < cells.size() && c < targets.size(); ++c) {
            const QString &cell = cells[c];
            const int target = targets[c];
            if (target >= 0 && target < 10) {
                check.line(r, c, cell);
                check.text(r, c, cell, MultilineText::encodeLine(cell).size());
                row.values.fields[target] = cell;
            } else if (target == Description || target == Comment) {
                check.text(r, c, cell, MultilineText::encode(cell).size());
                (target == Description ? row.values.description : row.values.comment) = cell;
            } else if (target == Photos) {
                for (const QString &path : photoPaths(cell)) {
                    check.text(r, c, path, path.size());
                    row.photos.append(path);
                }
            }
        }
        made.append(std::move(row));
    }
    return made;
}

// The names to write when the subcategory has none: the header's, or "Pole N" for a field that
// gets values; nothing when it has names of its own.
QStringList newFieldNames(const QStringList &names, const QStringList &header, const QList<int> &targets,
                          const Check &check)
{
    for (const QString &name : names) {
        if (!name.isEmpty())
            return {};
    }
    QStringList made(10);
    for (int c = 0; c < targets.size(); ++c) {
        const int target = targets[c];
        if (target < 0 || target >= 10)
            continue;
        QString name = header.value(c).simplified();
        if (name.isEmpty())
            name = QStringLiteral("Pole %1").arg(target + 1);
        check.text(-1, c, name, name.size());
        made[target] = name;
    }
    return made;
}

int countOf(const ProfileFile &items)
{
    const QString text = items.ReadText(config, countKey, QString());
    const auto count = text.isEmpty() ? std::optional<int>(0) : parseNumber(text);
    if (!count)
        throw AppError(QStringLiteral("Liczba pozycji \"%1\" zapisana w pliku %2 nie jest liczbą całkowitą.%3")
                           .arg(text, items.fileName(), nothingImported));
    return *count;
}

// Every file written under its staged name; answers them, and in `leftovers` the photo lists that
// an earlier, larger catalogue left under the new items' numbers.
QStringList writeStaged(const ItemStore::Place &place, const QList<Row> &rows, const QStringList &names,
                        QStringList &leftovers)
{
    ProfileBatch batch(ProfileBatch::Mode::Staged);
    ProfileFile items(place.itemFile(), batch);
    const int first = countOf(items);
    CatalogueFiles::checkCanGrow(first, QStringLiteral("pozycji"), items.fileName());
    if (rows.size() > std::numeric_limits<int>::max() - first)
        throw AppError(QStringLiteral("Plik %1 nie pomieści tylu pozycji.%2").arg(items.fileName(), nothingImported));
    items.Edit([&](ProfileEdit &edit) {
        for (int k = 0; k < names.size(); ++k)
            edit.WriteText(fieldsSection, QString::number(k + 1), names[k]);
        for (int i = 0; i < rows.size(); ++i) {
            edit.DropSection(QString::number(first + i)); // left by an import over a larger catalogue
            ItemStore::writeValues(edit, first + i, rows[i].values);
        }
        edit.WriteNumber(config, countKey, first + int(rows.size()));
    });
    batch.commit(place.itemFile());
    for (int i = 0; i < rows.size(); ++i) {
        const QString listFile = place.photoList(first + i);
        const QStringList &photos = rows[i].photos;
        if (photos.isEmpty()) {
            if (QFileInfo::exists(listFile))
                leftovers.append(listFile);
            continue;
        }
        ProfileFile(listFile, batch).Edit([&](ProfileEdit &edit) {
            edit.DropSection(QStringLiteral("zdjecia"));
            for (int p = 0; p < photos.size(); ++p)
                edit.WriteText(QStringLiteral("zdjecia"), QString::number(p), photos[p]);
            edit.WriteNumber(config, QStringLiteral("liczba_zdjec"), int(photos.size()));
        });
        batch.commit(listFile);
    }
    batch.commitAll();
    return batch.staged();
}

} // namespace

Source load(const QString &fileName)
{
    QFile file(fileName);
    if (!QFileInfo(fileName).isFile() || !file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Nie można odczytać pliku %1.%2").arg(fileName, nothingImported));
    Source source{fileName, file.readAll()};
    source.encoding = CsvReader::detectEncoding(source.bytes);
    source.separator = CsvReader::detectSeparator(
        CsvReader::decode(source.bytes.first(std::min<qsizetype>(source.bytes.size(), 64 * 1024)), source.encoding));
    return source;
}

CsvReader::Table read(const Source &source, const Options &options, int maxRows)
{
    return CsvReader::parse(CsvReader::decode(source.bytes, options.encoding), options.separator, source.fileName,
                            maxRows);
}

QStringList fieldNames(const ItemStore::Place &place)
{
    const ProfileFile items(place.itemFile());
    QStringList names;
    for (int k = 1; k <= 10; ++k)
        names.append(items.ReadText(fieldsSection, QString::number(k), QString()));
    return names;
}

QList<int> proposedTargets(const QStringList &header, const QStringList &fieldNames, int columns)
{
    QHash<QString, int> byName;
    for (int k = fieldNames.size() - 1; k >= 0; --k) {
        if (!fieldNames[k].trimmed().isEmpty())
            byName.insert(folded(fieldNames[k]), k);
    }
    for (const auto &[name, target] :
         {std::pair{"opis", Description}, {"komentarz", Comment}, {"zdjęcia", Photos}, {"zdjecia", Photos}})
        byName.insert(folded(QString::fromUtf8(name)), target);
    QList<int> targets(columns, -1);
    QSet<int> taken;
    for (int c = 0; c < columns; ++c) {
        const auto it = byName.constFind(folded(header.value(c)));
        if (it != byName.cend() && !taken.contains(*it)) {
            targets[c] = *it;
            taken.insert(*it);
        }
    }
    int next = 0;
    for (int c = 0; c < columns; ++c) {
        if (targets[c] >= 0)
            continue;
        while (next < 10 && taken.contains(next))
            ++next;
        targets[c] = next < 10 ? next++ : int(Skip);
    }
    return targets;
}

int run(const ItemStore::Place &place, const Source &source, const Options &options)
{
    Journal::Command command(place.dir, QStringLiteral("import pliku CSV %1 do podkategorii \"%2\" kategorii \"%3\"")
                                            .arg(source.fileName, place.subcategory, place.category));
    checkTargets(options.targets);
    CsvReader::Table table = read(source, options);
    const QStringList header = options.header && !table.rows.isEmpty() ? table.rows.takeFirst() : QStringList();
    const Check check(header, options.header ? 1 : 0);
    const QList<Row> rows = rowsOf(table.rows, options.targets, check);
    const QStringList names = newFieldNames(fieldNames(place), header, options.targets, check);
    if (rows.isEmpty())
        return 0;
    Journal::removeStaged(place.dir); // of a command that failed or was cut short
    try {
        QStringList leftovers;
        command.moveStaged(writeStaged(place, rows, names, leftovers));
        for (const QString &file : std::as_const(leftovers))
            command.remove(file);
        command.run();
    } catch (const AppError &error) {
        // Until the journal is written nothing of the catalogue has changed; after, it is the journal's.
        if (!Journal::isPending(place.dir))
            Journal::removeStaged(place.dir);
        throw AppError(QString(error.message()).remove(QLatin1String(Journal::stagedSuffix)));
    }
    return int(rows.size());
}

} // namespace CsvImport
