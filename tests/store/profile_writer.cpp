// Writes large values into a few profile files, round after round, until it is killed. Every file
// is at any moment "[s]" followed by v= and w=, each a run of one letter of `valueLength` letters.
#include "store/ProfileFile.h"

#include <QString>
#include <cstdio>

constexpr int valueLength = 200000;
constexpr int fileCount = 4;

int main(int argc, char *argv[])
{
    if (argc != 2)
        return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    for (int round = 0;; ++round) {
        const QString value(valueLength, QChar(u'a' + round % 26));
        for (int f = 0; f < fileCount; ++f) {
            ProfileFile file(dir + QStringLiteral("/plik%1.gmd").arg(f));
            file.WriteText(QStringLiteral("s"), QStringLiteral("v"), value);
            file.WriteText(QStringLiteral("s"), QStringLiteral("w"), value);
        }
        if (round == 0) {
            std::puts("ready");
            std::fflush(stdout);
        }
    }
}
