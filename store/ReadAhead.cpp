#include "ReadAhead.h"

#include "Codepage.h"
#include "ProfileStore.h"

#include <QFile>
#include <QHash>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// How far the thread may run ahead of the walk, to keep the memory it holds small.
constexpr qsizetype maxAhead = 256;

} // namespace

struct ReadAhead::State
{
    std::vector<QByteArray> nativeNames;
    QHash<QString, qsizetype> positions; // by the store's key of the file
    std::vector<std::optional<Parsed>> parsed;
    std::vector<bool> taken;
    std::vector<std::shared_ptr<ProfileDocument>> finished; // freed by the thread
    qsizetype walked = 0; // files the walk has taken or passed
    bool stop = false;
    bool readerWaits = false; // each side wakes the other only when it waits
    bool walkWaits = false;
    std::mutex mutex;
    std::condition_variable changed;
    std::thread worker;
    State *previous = nullptr;

    void read()
    {
        std::vector<std::shared_ptr<ProfileDocument>> toFree;
        for (qsizetype i = 0; i < qsizetype(nativeNames.size()); ++i) {
            toFree.clear();
            {
                std::unique_lock lock(mutex);
                readerWaits = true;
                changed.wait(lock, [&] { return stop || i - walked < maxAhead; });
                readerWaits = false;
                if (stop)
                    return;
                toFree.swap(finished);
            }
            Parsed result;
            result.nativeName = nativeNames[size_t(i)];
            if (auto contents = FileAccess::readWhole(nativeNames[size_t(i)])) {
                result.document = std::make_shared<ProfileDocument>(std::move(contents->bytes));
                result.stamp = contents->stamp;
            }
            std::lock_guard lock(mutex);
            parsed[size_t(i)] = std::move(result);
            if (walkWaits)
                changed.notify_all();
        }
    }
};

ReadAhead::State *ReadAhead::s_active = nullptr;

ReadAhead::ReadAhead(const QStringList &fileNames) : m_state(std::make_unique<State>())
{
    Codepage::foldTable(); // made here, before the thread parses with it
    for (const QString &name : fileNames) {
        const QString key = ProfileStore::keyOf(name);
        if (m_state->positions.contains(key))
            continue;
        m_state->positions.insert(key, qsizetype(m_state->nativeNames.size()));
        m_state->nativeNames.push_back(QFile::encodeName(key));
    }
    m_state->parsed.resize(m_state->nativeNames.size());
    m_state->taken.resize(m_state->nativeNames.size());
    m_state->previous = s_active;
    s_active = m_state.get();
    m_state->worker = std::thread([state = m_state.get()] { state->read(); });
}

ReadAhead::~ReadAhead()
{
    {
        std::lock_guard lock(m_state->mutex);
        m_state->stop = true;
    }
    m_state->changed.notify_all();
    m_state->worker.join();
    s_active = m_state->previous;
}

std::optional<ReadAhead::Parsed> ReadAhead::take(const QString &key, std::shared_ptr<ProfileDocument> &done)
{
    State *state = s_active;
    if (!state)
        return std::nullopt;
    const auto found = state->positions.constFind(key);
    if (found == state->positions.constEnd())
        return std::nullopt;
    const size_t i = size_t(*found);
    std::unique_lock lock(state->mutex);
    if (done)
        state->finished.push_back(std::move(done));
    if (state->taken[i])
        return std::nullopt; // read again as usual: it may have changed since
    state->taken[i] = true;
    state->walked = std::max(state->walked, qsizetype(i) + 1);
    if (state->readerWaits)
        state->changed.notify_all();
    state->walkWaits = true;
    state->changed.wait(lock, [&] { return state->parsed[i].has_value(); });
    state->walkWaits = false;
    return std::exchange(state->parsed[i], std::nullopt);
}
