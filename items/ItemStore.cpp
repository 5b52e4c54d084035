#include "ItemStore.h"

#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "store/Error.h"
#include "store/FileAccess.h"
#include "store/Journal.h"
#include "store/MultilineText.h"
#include "store/ProfileFile.h"

#include <QFile>
#include <QFileInfo>

namespace {

const QString config = QStringLiteral("config");
const QString countKey = QStringLiteral("liczba_pozycji");
const QString descriptionKey = QStringLiteral("opis");
const QString commentKey = QStringLiteral("komentarz");
const QString photoKey = QStringLiteral("zdjecie");

QString fieldKey(int field)
{
    return QStringLiteral("pozycja%1").arg(field);
}

QString tooLong(qsizetype stored)
{
    return QStringLiteral("zajmuje w pliku %1 znaków, a można zapisać najwyżej %2. ")
        .arg(stored)
        .arg(ProfileFile::maxValueLength);
}

void checkLength(const QString &text, const QString &what)
{
    const qsizetype stored = MultilineText::encode(text).size();
    if (stored > ProfileFile::maxValueLength)
        throw AppError(
            QStringLiteral("%1 jest za długi: %2Skróć go, nic nie zostało zapisane.").arg(what, tooLong(stored)));
}

QString fieldName(const QStringList &fieldNames, int index)
{
    const QString name = fieldNames.value(index);
    return name.isEmpty() ? QStringLiteral("Pole %1").arg(index + 1) : QStringLiteral("Pole \"%1\"").arg(name);
}

std::optional<FileAccess::Contents> wholeFile(const QString &file)
{
    return FileAccess::readWhole(QFile::encodeName(file));
}

// The count of an item file that is to take one more item; throws AppError, writing nothing, when
// it is damaged or at its largest.
int countOf(const ProfileDocument &items, const QString &fileName)
{
    const QString countText = QString::fromLatin1(items.value("config", "liczba_pozycji").value_or(QByteArrayView()));
    const auto count = countText.isEmpty() ? std::optional<int>(0) : parseNumber(countText);
    if (!count)
        throw AppError(QStringLiteral("Liczba pozycji \"%1\" zapisana w pliku %2 nie jest liczbą całkowitą.\n"
                                      "Nic nie zostało zapisane.")
                           .arg(countText, fileName));
    CatalogueFiles::checkCanGrow(*count, QStringLiteral("pozycji"), fileName);
    return *count;
}

bool subcategoryExists(const QString &dir, const QString &category, const QString &subcategory)
{
    return KeyedList::categories.read(ProfileFile(CatalogueFiles::categoryList(dir))).contains(category) &&
           KeyedList::subcategories.read(ProfileFile(CatalogueFiles::subcategoryList(dir, category)))
               .contains(subcategory);
}

// The item, its photo list and the subcategory's field names go into a trash entry of their own.
void keepItem(Journal::Command &command, const ItemStore::Place &place, int item, const ProfileDocument &items)
{
    const Trash::Entry entry = Trash::begin(place.dir, Trash::Kind::Item, place.category, place.subcategory, item);
    ProfileDocument kept(wholeFile(place.photoList(item)).value_or(FileAccess::Contents{}).bytes);
    kept.dropSection("wpis");
    for (int k = 1; k <= 10; ++k) {
        const QByteArray key = QByteArray::number(k);
        kept.setValue("pola", key, items.value("pozycje", key).value_or(QByteArrayView()));
    }
    items.entries(QByteArray::number(item),
                  [&](QByteArrayView key, QByteArrayView value) { kept.setValue("pozycja", key, value); });
    Trash::describe(command, entry, kept.bytes());
}

} // namespace

namespace ItemStore {

QString Place::itemFile() const
{
    return CatalogueFiles::itemFile(dir, category, subcategory);
}

QString Place::photoList(int item) const
{
    return CatalogueFiles::photoList(dir, category, subcategory, item);
}

void checkStorable(const ItemValues &values, const QStringList &fieldNames)
{
    QStringList texts = values.fields;
    texts << values.description << values.comment;
    for (const QString &text : std::as_const(texts)) {
        if (const QString problem = Codepage::unencodableMessage(text); !problem.isEmpty())
            throw AppError(problem);
    }
    for (int k = 0; k < values.fields.size(); ++k) {
        const QString &field = values.fields[k];
        if (field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r')))
            throw AppError(QStringLiteral("%1 nie może zawierać znaku końca wiersza. Nic nie zostało zapisane.")
                               .arg(fieldName(fieldNames, k)));
        if (const qsizetype stored = MultilineText::encodeLine(field).size(); stored > ProfileFile::maxValueLength)
            throw AppError(QStringLiteral("%1 jest za długie: %2Skróć je, nic nie zostało zapisane.")
                               .arg(fieldName(fieldNames, k), tooLong(stored)));
    }
    checkLength(values.description, QStringLiteral("Opis"));
    checkLength(values.comment, QStringLiteral("Komentarz"));
}

// A field is stored so that it reads back exactly, blanks and quotation marks at its ends too.
void writeValues(ProfileEdit &edit, int item, const ItemValues &values)
{
    const QString section = QString::number(item);
    for (int k = 1; k <= 10; ++k)
        edit.WriteText(section, fieldKey(k), MultilineText::encodeLine(values.fields.value(k - 1)));
    edit.WriteMultiline(section, descriptionKey, values.description);
    edit.WriteMultiline(section, commentKey, values.comment);
}

ItemValues read(const Place &place, int item)
{
    const ProfileFile file(place.itemFile());
    const QString section = QString::number(item);
    ItemValues values;
    for (int k = 1; k <= 10; ++k)
        values.fields[k - 1] = file.ReadWholeText(section, fieldKey(k));
    values.description = file.ReadMultiline(section, descriptionKey);
    values.comment = file.ReadMultiline(section, commentKey);
    values.photo = file.ReadText(section, photoKey, QString());
    return values;
}

int add(const Place &place, const ItemValues &values)
{
    checkStorable(values);
    ProfileFile file(place.itemFile());
    const QString countText = file.ReadText(config, countKey, QString());
    const auto count = countText.isEmpty() ? std::optional<int>(0) : parseNumber(countText);
    if (!count)
        throw AppError(QStringLiteral("Liczba pozycji \"%1\" zapisana w pliku %2 nie jest liczbą całkowitą.\n"
                                      "Nic nie zostało zapisane.")
                           .arg(countText, file.fileName()));
    const int number = *count;
    CatalogueFiles::checkCanGrow(number, QStringLiteral("pozycji"), file.fileName());
    // A photo list or section left under this number (an import over a larger catalogue leaves
    // them) is not the new item's. Gone, on disk too, before the item is counted, so a crash
    // between leaves the new item without photos, never with someone else's.
    if (const QString leftover = place.photoList(number); QFile::exists(leftover)) {
        ProfileStore::remove(leftover);
        ProfileStore::syncFolder(QFileInfo(leftover).absolutePath());
    }
    file.Edit([&](ProfileEdit &edit) {
        edit.DropSection(QString::number(number));
        writeValues(edit, number, values);
        edit.WriteNumber(config, countKey, number + 1); // counted only with its keys written
    });
    return number;
}

void save(const Place &place, int item, const ItemValues &values)
{
    checkStorable(values);
    ProfileFile(place.itemFile()).Edit([&](ProfileEdit &edit) { writeValues(edit, item, values); });
}

void remove(const Place &place, int item, bool keepInTrash)
{
    Journal::Command command(place.dir, QStringLiteral("usunięcie pozycji nr %1 z podkategorii \"%2\" kategorii \"%3\"")
                                            .arg(item + 1)
                                            .arg(place.subcategory, place.category));
    const QString itemFile = place.itemFile();
    const int last = ProfileFile(itemFile).ReadNumber(config, countKey, 0) - 1;
    if (item < 0 || item > last)
        return;
    ProfileDocument items(wholeFile(itemFile).value_or(FileAccess::Contents{}).bytes);
    if (keepInTrash)
        keepItem(command, place, item, items);
    // The last item's section moves line for line, so a value is carried as it stands in the file.
    if (item != last)
        items.moveSection(QByteArray::number(last), QByteArray::number(item));
    else
        items.dropSection(QByteArray::number(last));
    items.setValue("config", "liczba_pozycji", QByteArray::number(last));
    command.write(itemFile, items.bytes());
    // The photo list moves byte for byte; no photo list stays under the last number.
    if (item != last) {
        if (const auto photos = wholeFile(place.photoList(last)))
            command.write(place.photoList(item), photos->bytes);
        else
            command.remove(place.photoList(item));
    }
    command.remove(place.photoList(last));
    command.run();
}

void restore(const QString &dir, const Trash::Entry &entry)
{
    const Place place{dir, entry.category, entry.subcategory};
    Journal::Command command(dir, QStringLiteral("przywrócenie pozycji \"%1\" z kosza do podkategorii \"%2\" "
                                                 "kategorii \"%3\"")
                                      .arg(entry.name, entry.subcategory, entry.category));
    if (!subcategoryExists(dir, entry.category, entry.subcategory))
        throw AppError(QStringLiteral("Nie można przywrócić pozycji \"%1\": podkategoria \"%2\" kategorii \"%3\" już "
                                      "nie istnieje. Dodaj ją ponownie i spróbuj jeszcze raz.")
                           .arg(entry.name, entry.subcategory, entry.category));
    const ProfileDocument kept(wholeFile(entry.description()).value_or(FileAccess::Contents{}).bytes);
    ProfileDocument items(wholeFile(place.itemFile()).value_or(FileAccess::Contents{}).bytes);
    const int number = countOf(items, place.itemFile());
    const QByteArray section = QByteArray::number(number);
    items.dropSection(section); // left by an import over a larger catalogue
    kept.entries("pozycja", [&](QByteArrayView key, QByteArrayView value) { items.setValue(section, key, value); });
    items.setValue("config", "liczba_pozycji", QByteArray::number(number + 1));
    command.write(place.itemFile(), items.bytes());
    ProfileDocument photos;
    kept.entries("zdjecia", [&](QByteArrayView key, QByteArrayView value) { photos.setValue("zdjecia", key, value); });
    if (const auto count = kept.value("config", "liczba_zdjec"); count && photos.size() > 0) {
        photos.setValue("config", "liczba_zdjec", *count);
        command.write(place.photoList(number), photos.bytes());
    } else {
        command.remove(place.photoList(number)); // a leftover is not the restored item's
    }
    Trash::forget(command, entry);
    command.run();
    Trash::removeFolder(entry);
}

QStringList photos(const Place &place, int item)
{
    return KeyedList::photos.read(ProfileFile(place.photoList(item)));
}

void addPhoto(const Place &place, int item, const QString &path)
{
    ProfileFile file(place.photoList(item));
    KeyedList::photos.append(file, path);
}

void setPhotos(const Place &place, int item, const QStringList &paths)
{
    ProfileFile(place.photoList(item)).Edit([&](ProfileEdit &edit) {
        edit.DropSection(QStringLiteral("zdjecia"));
        for (int k = 0; k < paths.size(); ++k)
            edit.WriteText(QStringLiteral("zdjecia"), QString::number(k), paths[k]);
        edit.WriteNumber(QStringLiteral("config"), QStringLiteral("liczba_zdjec"), int(paths.size()));
    });
}

} // namespace ItemStore
