#pragma once

#include "store/CatalogueFiles.h"

#include <QFile>
#include <QTemporaryDir>

// A category "Monety" with one subcategory "Polska" of 10,000 items (ten fields, a description
// and a comment each), made once for the whole run; and one of 100,000 items in a folder of its
// own, whose first field is a town's name and second a number, in no order, for sorting.
namespace Bench {

constexpr int itemCount = 10000;
constexpr int largeItemCount = 100000;

// The lines of item n's description and comment: a multi-line description, a one-line comment.
inline QByteArray descriptionAndComment(int n)
{
    return "opis=\"Moneta srebrna, stan bardzo dobry.\\r\\nKupiona w " + QByteArray::number(1990 + n % 30) +
           " roku na gie\xb3"
           "dzie staro\x9c"
           "ci, z certyfikatem.\\r\\nBez rys.\"\r\nkomentarz=Do wymiany, cena do uzgodnienia " +
           QByteArray::number(n) + "\r\n";
}

struct Catalogue
{
    QTemporaryDir folder;
    QString dir = folder.path() + QLatin1Char('/');
    QString itemFile = CatalogueFiles::itemFile(dir, QStringLiteral("Monety"), QStringLiteral("Polska"));

    explicit Catalogue(int count = itemCount)
    {
        static const char *const towns[] = {"\xa3\xf3\x64\x9f", "Krak\xf3w", "Lublin", "\xa3om\xbf\x61", "Gda\xf1sk",
                                            "\x8c\x77inouj\x9c\x63ie", "Zabrze", "\xaf\x6fry", "Mak\xf3w", "Opole"};
        // Written in one go: building it key by key would take the benchmark's own time.
        QByteArray bytes = "[pozycje]\r\n";
        for (int k = 1; k <= 10; ++k)
            bytes += QByteArray::number(k) + "=Pole numer " + QByteArray::number(k) + "\r\n";
        for (int i = 0; i < count; ++i) {
            const int shuffled = int((qint64(i) * 7919) % count);
            bytes += "[" + QByteArray::number(i) + "]\r\n";
            for (int k = 1; k <= 10; ++k) {
                bytes += "pozycja" + QByteArray::number(k) + "=";
                if (count > itemCount && k == 1)
                    bytes += QByteArray(towns[shuffled % 10]) + " " + QByteArray::number(shuffled / 10);
                else if (count > itemCount && k == 2)
                    bytes += QByteArray::number(shuffled);
                else
                    bytes += "warto\x9c\xe6 " + QByteArray::number(i * 10 + k) + " z opisem pola";
                bytes += "\r\n";
            }
            bytes += descriptionAndComment(i);
        }
        bytes += "[config]\r\nliczba_pozycji=" + QByteArray::number(count) + "\r\n";
        QFile file(itemFile);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("Cannot write the benchmark catalogue");
    }
};

inline Catalogue &catalogue()
{
    static Catalogue instance;
    return instance;
}

inline Catalogue &largeCatalogue()
{
    static Catalogue instance(largeItemCount);
    return instance;
}

} // namespace Bench
