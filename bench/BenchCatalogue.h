#pragma once

#include "store/CatalogueFiles.h"

#include <QFile>
#include <QTemporaryDir>

// A category "Monety" with one subcategory "Polska" of 10,000 items (ten fields, a description
// and a comment each), made once for the whole run.
namespace Bench {

constexpr int itemCount = 10000;

struct Catalogue
{
    QTemporaryDir folder;
    QString dir = folder.path() + QLatin1Char('/');
    QString itemFile = CatalogueFiles::itemFile(dir, QStringLiteral("Monety"), QStringLiteral("Polska"));

    Catalogue()
    {
        // Written in one go: building it key by key would take the benchmark's own time.
        QByteArray bytes = "[pozycje]\r\n";
        for (int k = 1; k <= 10; ++k)
            bytes += QByteArray::number(k) + "=Pole numer " + QByteArray::number(k) + "\r\n";
        for (int i = 0; i < itemCount; ++i) {
            bytes += "[" + QByteArray::number(i) + "]\r\n";
            for (int k = 1; k <= 10; ++k)
                bytes += "pozycja" + QByteArray::number(k) + "=warto\x9c\xe6 " + QByteArray::number(i * 10 + k) +
                         " z opisem pola\r\n";
            bytes += "opis=\"Moneta srebrna, stan bardzo dobry.\\r\\nKupiona w " + QByteArray::number(1990 + i % 30) +
                     " roku na gie\xb3"
                     "dzie staro\x9c"
                     "ci, z certyfikatem.\\r\\nBez rys.\"\r\n";
            bytes += "komentarz=Do wymiany, cena do uzgodnienia " + QByteArray::number(i) + "\r\n";
        }
        bytes += "[config]\r\nliczba_pozycji=" + QByteArray::number(itemCount) + "\r\n";
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

} // namespace Bench
