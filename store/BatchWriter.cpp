#include "BatchWriter.h"

#include "FileAccess.h"

namespace {

// Enough to keep the thread busy; few enough that the files waiting hold little memory.
constexpr size_t maxWaiting = 512;

} // namespace

BatchWriter::BatchWriter()
{
    for (int i = 0; i < 2; ++i)
        m_threads.emplace_back([this] { run(); });
}

BatchWriter::~BatchWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_work.notify_all();
    for (std::thread &thread : m_threads)
        thread.join();
}

void BatchWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_work.wait(lock, [&] { return m_stop || !m_queue.empty(); });
        if (m_queue.empty())
            return; // stopped, and all written
        Job job = std::move(m_queue.front());
        m_queue.pop_front();
        ++m_busy;
        if (m_throttled && m_queue.size() <= maxWaiting / 2) {
            m_throttled = false;
            m_done.notify_all();
        }
        lock.unlock();
        std::optional<AppError> failure;
        try {
            FileAccess::writeWithoutSync(job.fileName, job.document->bytes(), job.existed);
        } catch (const AppError &error) {
            failure = error;
        }
        job.document.reset();
        lock.lock();
        --m_busy;
        // Gone already when a failure beside it cleared the list.
        if (const auto count = m_unwritten.find(job.key); count != m_unwritten.end() && --*count == 0)
            m_unwritten.erase(count);
        if (failure) {
            m_failure = std::move(failure);
            m_queue.clear();
            m_unwritten.clear();
        }
        if (failure || m_waiters > 0)
            m_done.notify_all();
    }
}

void BatchWriter::throwFailure()
{
    if (m_failure)
        throw *m_failure;
}

void BatchWriter::write(const QString &fileName, const QString &key, std::shared_ptr<ProfileDocument> document,
                        bool existed)
{
    std::unique_lock lock(m_mutex);
    if (!m_failure && m_queue.size() >= maxWaiting) {
        m_throttled = true;
        m_done.wait(lock, [&] { return m_failure || m_queue.size() <= maxWaiting / 2; });
    }
    throwFailure();
    m_queue.push_back(Job{fileName, key, std::move(document), existed});
    ++m_unwritten[key];
    m_work.notify_one();
}

void BatchWriter::waitFor(const QString &key)
{
    std::unique_lock lock(m_mutex);
    ++m_waiters;
    m_done.wait(lock, [&] { return !m_unwritten.contains(key); });
    --m_waiters;
}

void BatchWriter::finish()
{
    std::unique_lock lock(m_mutex);
    ++m_waiters;
    m_done.wait(lock, [&] { return m_unwritten.isEmpty() && m_busy == 0; });
    --m_waiters;
    throwFailure();
}
