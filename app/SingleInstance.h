#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

class QLocalServer;
class QLockFile;

// One running copy of the program per catalogue, since two copies writing the same files lose
// data. The copy that runs holds a lock file in the data folder and listens on a local server
// named after it; a second start on that folder asks it there to bring its window forward.
class SingleInstance : public QObject
{
public:
    enum class Claim {
        Owned,      // this copy holds the catalogue (or its folder cannot hold a lock file at all)
        Forwarded,  // another copy holds it and has brought its window forward
        Unreachable // another copy holds it and did not answer
    };

    // `bringForward` runs when a later start asks this copy to come forward; it answers the
    // object name of the window it brought forward.
    explicit SingleInstance(std::function<QString()> bringForward,
                            std::chrono::milliseconds patience = std::chrono::seconds(10));
    ~SingleInstance() override;

    // Takes the catalogue of the data directory `dir` for this copy, letting go of the one it held
    // before; an empty `dir` (none chosen yet) holds nothing. A lock left by a copy that ended
    // without letting go (a crash, a kill) is taken over.
    Claim claim(const QString &dir);

    // The lock file: named like the catalogue files, by concatenation, but never ending in ".gmd".
    static QString lockFileName(const QString &dir);
    // The local server of the copy that holds the lock file of `dir`, the same for every spelling
    // of the folder's path.
    static QString serverName(const QString &dir);

private:
    Claim askHolder(const QString &dir) const;
    void listen(const QString &dir);

    std::function<QString()> m_bringForward;
    std::chrono::milliseconds m_patience;
    QString m_dir;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer *m_server = nullptr;
};
