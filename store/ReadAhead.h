#pragma once

#include "FileAccess.h"
#include "ProfileDocument.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

// Reads and parses files on a second thread ahead of a walk that is about to read them one after
// another (an export reads a photo list for every item), so that waiting for the disk overlaps
// with the walk's own work. While it lives, the profile store takes the files it has read instead
// of reading them itself.
class ReadAhead
{
public:
    explicit ReadAhead(const QStringList &fileNames);
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    struct Parsed
    {
        std::shared_ptr<ProfileDocument> document; // nullptr when the file could not be read
        FileAccess::Stamp stamp;
        QByteArray nativeName;
    };
    // For the profile store: the file of that key, once read, the first time it is asked for;
    // nothing for a file that is not read ahead. `done` is the file the store took before, which
    // the thread frees while the walk goes on.
    static std::optional<Parsed> take(const QString &key, std::shared_ptr<ProfileDocument> &done);

private:
    struct State;
    std::unique_ptr<State> m_state;
    static State *s_active; // the innermost one that lives
};
