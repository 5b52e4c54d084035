#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <mutex>

// A command that changes more than one catalogue file first writes down every change it is about
// to make, in one journal file in the data folder, and waits for it to reach the disk. Only then
// does it change the files, and when all are changed it removes the journal. A program killed in
// between finds the journal at its next start and makes the changes again, from the first one:
// each step can be repeated, so the command ends whole, never half done.
//
// The journal is a text file named ".gromadnik-dziennik" in the folder of the catalogue files (a
// name that does not end in ".gmd", so no export, import or list ever takes it for a catalogue
// file). Names are file names inside that folder (or "Kosz/<entry>/<file>" for the trash), percent-encoded UTF-8; one step a line:
//
//   GROMADNIK-JOURNAL 1
//   command <what the user asked for, percent-encoded UTF-8, for the notice at start-up>
//   rename <from> <to>        the file, when it is still under its old name, to its new one
//   delete <name>             the file, when it is there
//   write <name> <base64>     the whole new content of the file: its copy "<name>.~gromadnik-nowy",
//                             written before the journal, takes the name; without that copy the
//                             content is written, unless the file holds it already
//   staged <suffix>           every "<name><suffix>" of the folder to "<name>" (an import's files)
//   end <step count> <SHA-1 in hex of every byte before this line>
//
// A journal without a matching "end" line was cut short while it was written, before any file had
// changed: it is discarded.
namespace Journal {

inline constexpr char fileName[] = ".gromadnik-dziennik";
// Appended to a file's name while an import writes it; the journal's "staged" step moves it into place.
inline constexpr char stagedSuffix[] = ".~gromadnik-import";
// Appended to the name of a file that a journaled command writes anew, while the journal is not yet
// on the disk: all that needs free space is done before the first file changes.
inline constexpr char writtenSuffix[] = ".~gromadnik-nowy";

// The folder that holds the catalogue files of the data directory `dir` (which is a prefix of
// their names, not always a folder of its own).
QString folderOf(const QString &dir);
QString stagedName(const QString &fileName);

// Held while a journaled command or its recovery changes files, so that a copy of the catalogue
// made on another thread never sees a command half done.
std::mutex &commandLock();

// Whether the two names lead to one file (a change of letter case on a file system that ignores it).
bool sameFile(const QString &a, const QString &b);

class Command
{
public:
    // `description` names the command in the notice shown when a later start has to finish it,
    // as in: zmiana nazwy kategorii "Monety" na "Monety PL". Made before the command reads the
    // files it changes: a journal an earlier command left is finished first (or AppError thrown).
    Command(const QString &dir, QString description);

    // Full file names, as the catalogue names them.
    void rename(const QString &from, const QString &to);
    void remove(const QString &file);
    void write(const QString &file, const QByteArray &bytes);
    // The import's files, written under their staged names (`files` are their own names).
    void moveStaged(const QStringList &files);

    // Checks every step (a read-only file, a new name taken by another file) and throws AppError
    // with nothing changed; then writes the journal, runs the steps and removes the journal.
    void run();

private:
    struct Step
    {
        enum Kind { Rename, Delete, Write, Staged } kind;
        QString name;
        QString to;
        QByteArray bytes;
    };
    QString local(const QString &file) const;
    void check() const;

    QString m_dir;
    QString m_folder;
    QString m_description;
    QList<Step> m_steps;
    QStringList m_staged;
};

// What the recovery at start-up found and did.
struct Recovery
{
    QString command;        // the interrupted command that its journal names, finished unless
    QString failed;         // says why it could not be (its journal then stays for the next start)
    bool discarded = false; // a journal cut short: nothing had changed yet
    int temporaries = 0;    // leftover temporary files of killed writes, removed

    // One Polish notice for the user, or the empty text when there was nothing to repair.
    QString notice() const;
};

// Finishes a journal left in the data folder and removes the temporary files that killed writes
// left there. Never throws: a failure is reported in the answer.
Recovery recover(const QString &dir);

// Finishes a journal left by an earlier command of this run, and removes an import's staged files
// that no journal will move. Throws AppError when the journal cannot be finished.
void settle(const QString &dir);
// Removes the temporary files that killed writes left in `folder` (a trash entry's); answers how many.
int removeTemporaries(const QString &folder);
// Whether a journal waits in the data folder to be finished.
bool isPending(const QString &dir);
void removeStaged(const QString &dir);

} // namespace Journal
