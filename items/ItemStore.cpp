#include "ItemStore.h"

#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "store/Error.h"
#include "store/FileAccess.h"
#include "store/Journal.h"
#include "store/MultilineText.h"
#include "store/ProfileFile.h"

#include <QFile>

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

void writeValues(ProfileEdit &edit, const QString &section, const ItemValues &values)
{
    for (int k = 1; k <= 10; ++k)
        edit.WriteText(section, fieldKey(k), values.fields.value(k - 1));
    edit.WriteMultiline(section, descriptionKey, values.description);
    edit.WriteMultiline(section, commentKey, values.comment);
}

void checkLength(const QString &text, const QString &what)
{
    const qsizetype stored = MultilineText::encode(text).size();
    if (stored > ProfileFile::maxValueLength)
        throw AppError(QStringLiteral("%1 jest za długi: zajmuje w pliku %2 znaków, a można zapisać najwyżej %3. "
                                      "Skróć go, nic nie zostało zapisane.")
                           .arg(what)
                           .arg(stored)
                           .arg(ProfileFile::maxValueLength));
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

void checkStorable(const ItemValues &values)
{
    QStringList texts = values.fields;
    texts << values.description << values.comment;
    for (const QString &text : std::as_const(texts)) {
        if (const QString problem = Codepage::unencodableMessage(text); !problem.isEmpty())
            throw AppError(problem);
    }
    for (const QString &field : values.fields) {
        if (field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r')))
            throw AppError(QStringLiteral("Pole nie może zawierać znaku końca wiersza."));
    }
    checkLength(values.description, QStringLiteral("Opis"));
    checkLength(values.comment, QStringLiteral("Komentarz"));
}

ItemValues read(const Place &place, int item)
{
    const ProfileFile file(place.itemFile());
    const QString section = QString::number(item);
    ItemValues values;
    for (int k = 1; k <= 10; ++k)
        values.fields[k - 1] = file.ReadText(section, fieldKey(k), QString());
    values.description = file.ReadMultiline(section, descriptionKey);
    values.comment = file.ReadMultiline(section, commentKey);
    values.photo = file.ReadText(section, photoKey, QString());
    return values;
}

int add(const Place &place, const ItemValues &values)
{
    checkStorable(values);
    ProfileFile file(place.itemFile());
    const int number = std::max(file.ReadNumber(config, countKey, 0), 0);
    file.Edit([&](ProfileEdit &edit) {
        writeValues(edit, QString::number(number), values);
        edit.WriteNumber(config, countKey, number + 1); // counted only with its keys written
    });
    return number;
}

void save(const Place &place, int item, const ItemValues &values)
{
    checkStorable(values);
    ProfileFile(place.itemFile()).Edit([&](ProfileEdit &edit) { writeValues(edit, QString::number(item), values); });
}

void remove(const Place &place, int item)
{
    Journal::Command command(place.dir, QStringLiteral("usunięcie pozycji nr %1 z podkategorii \"%2\" kategorii \"%3\"")
                                            .arg(item + 1)
                                            .arg(place.subcategory, place.category));
    const QString itemFile = place.itemFile();
    const int last = ProfileFile(itemFile).ReadNumber(config, countKey, 0) - 1;
    if (item < 0 || item > last)
        return;
    // The last item's section moves line for line, so a value is carried as it stands in the file.
    const auto wholeFile = [](const QString &file) { return FileAccess::readWhole(QFile::encodeName(file)); };
    ProfileDocument items(wholeFile(itemFile).value_or(FileAccess::Contents{}).bytes);
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
