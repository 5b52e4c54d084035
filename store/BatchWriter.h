#pragma once

#include "Error.h"
#include "ProfileDocument.h"

#include <QHash>
#include <QString>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

// Writes complete files on two more threads, taken in the order they were handed over, so that a
// batch goes on with its next file while the system creates the last ones: creating a small file
// costs the system more than making its text. After a failed write no further file is started;
// files the other thread took before the failure was seen still complete. The failure is raised
// at the next call.
// A batch never hands over a file again before waitFor() saw it written, so one file is never
// written by both threads at once.
class BatchWriter
{
public:
    BatchWriter();
    // Writes what was handed over before, unless a write failed.
    ~BatchWriter();
    BatchWriter(const BatchWriter &) = delete;
    BatchWriter &operator=(const BatchWriter &) = delete;

    // `key` is the store's key of the file. Throws the failure of an earlier write.
    void write(const QString &fileName, const QString &key, std::shared_ptr<ProfileDocument> document, bool existed);
    // Waits until the file of that key, if handed over, has been written.
    void waitFor(const QString &key);
    // Waits until everything handed over has been written. Throws the failure of a write.
    void finish();

private:
    struct Job
    {
        QString fileName;
        QString key;
        std::shared_ptr<ProfileDocument> document;
        bool existed = false;
    };
    void run();
    void throwFailure();

    std::mutex m_mutex;
    std::condition_variable m_work; // for the threads: a file to write, or the end
    std::condition_variable m_done; // for the batch: files written, or a failure
    std::deque<Job> m_queue;
    QHash<QString, int> m_unwritten; // keys handed over and not written yet, with how often
    std::optional<AppError> m_failure;
    int m_busy = 0; // files being written now
    // Each side wakes the other only when it waits for it: a batch that hands over files faster
    // than they are written waits until half of the waiting ones are written, not for each one.
    int m_waiters = 0;
    bool m_throttled = false;
    bool m_stop = false;
    std::vector<std::thread> m_threads;
};
