#pragma once

#include "BatchWriter.h"
#include "ProfileDocument.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <memory>

// Files edited in memory by a command that writes many values (an export, an import), each file
// written once when the command says it is complete. The edits are those of ProfileFile's own
// writes, so every file ends up byte for byte as writing its values one at a time would leave it.
// ProfileFile objects made with a batch read and write its copies.
class ProfileBatch
{
public:
    // A staging batch writes every file under its staged name (Journal::stagedName), for a journal
    // to move them all into place once the whole command is written.
    enum class Mode { InPlace, Staged };
    explicit ProfileBatch(Mode mode = Mode::InPlace);
    ProfileBatch(const ProfileBatch &) = delete;
    ProfileBatch &operator=(const ProfileBatch &) = delete;
    // Edits that were not committed are dropped: their files keep what they held. Files committed
    // before are written.
    ~ProfileBatch();

    // Writes the file, when it was changed, atomically, and takes it out of the batch; a later
    // write starts from what it now holds. Throws AppError "Unable to write to <fileName>".
    void commit(const QString &fileName);
    // Once every file committed before has been written, commits every remaining file in the order
    // in which the batch took them, then waits until all that the batch wrote has reached the disk.
    void commitAll();
    // The files a staging batch has written, by their own names.
    QStringList staged() const { return m_stagedNames; }

    // The file's bytes as the batch's edits leave them, without writing anything.
    QByteArray contents(const QString &fileName);

private:
    friend class ProfileFile;
    struct Pending
    {
        QString fileName;
        std::shared_ptr<ProfileDocument> document;
        bool existed = false; // when the batch took it
        bool changed = false;
        bool writable = false; // checked at the first write, where writing each value at once would fail
    };
    Pending &pending(const QString &fileName);
    // Whether the file may exist: each folder is listed once, which spares a look-up on disk for
    // every file that a batch creates.
    bool mayExist(const QString &key);
    // Changes whenever a file leaves the batch, so that a ProfileFile may keep its Pending until then.
    quint64 generation() const { return m_generation; }

    QHash<QString, std::shared_ptr<Pending>> m_files; // by the store's key of the file
    quint64 m_generation = 0;
    QStringList m_order;
    QStringList m_folders; // written to, still to be synced
    QStringList m_written; // the first few files written, synced one by one when they are all
    QHash<QString, QSet<QString>> m_listed; // folder -> names of its files, as keys name them
    Mode m_mode;
    QHash<QString, bool> m_staged; // key -> whether the file itself existed, for files written staged
    QStringList m_stagedNames;
    std::unique_ptr<BatchWriter> m_writer;
};
