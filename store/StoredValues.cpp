#include "StoredValues.h"

#include "store/CatalogueFiles.h"
#include "store/Codepage.h"
#include "store/ProfileDocument.h"
#include "store/ProfileFile.h"

#include <QFile>
#include <algorithm>

namespace StoredValues {

std::optional<FileAccess::Contents> readFile(const QString &fileName, qint64 maxSize)
{
    auto contents = FileAccess::readWhole(QFile::encodeName(fileName), maxSize);
    if (!contents || contents->tooLarge)
        return std::nullopt;
    return contents;
}

QString text(const ProfileDocument &document, QByteArrayView section, QByteArrayView key)
{
    const auto value = document.value(section, key);
    return value ? Codepage::decode(readValue(*value)) : QString();
}

int number(const ProfileDocument &document, QByteArrayView key)
{
    return parseProfileNumber(text(document, "config", key), 0);
}

QStringList entries(const ProfileDocument &document, const KeyedList &list)
{
    const QByteArray section = list.section.toLatin1();
    const qsizetype count =
        std::clamp<qsizetype>(number(document, list.counterKey.toLatin1()), 0, document.numberedKeys(section));
    QStringList result;
    result.reserve(count);
    for (qsizetype p = 0; p < count; ++p)
        result.append(text(document, section, QByteArray::number(p)));
    return result;
}

} // namespace StoredValues
