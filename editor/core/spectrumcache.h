#pragma once
// CSpectrumCache: the spectrum columns of one channel of a sample, kept per zoom (frames per
// column) and column start, and computed on worker threads so that the window keeps painting
// while they arrive. A strip asks for the columns it shows (Request), draws those it has
// (Column) and a placeholder for the rest; columnsReady says when more are in. Scrolling asks
// for columns that are partly already here: only the new ones are computed.
//
// Threads: the frames a column needs are copied out of the sample on the owner's (GUI) thread,
// when its batch is handed to a worker; workers never see the sample, which the GUI thread may
// edit at any time. Results come back to the owner's thread as queued calls. A cache that is
// destroyed drops the results of batches still running.
//
// After an edit the owner calls Invalidate with the first frame changed: the columns that read
// a frame from there on are kept, marked out of date, so that the strip still shows them until
// their new values arrive; results of batches begun before the edit are dropped.
//
// The cache holds at most kMaxColumns columns; beyond that it forgets other zooms first, then
// the columns of this zoom outside the range last asked for.

#include "core/samplebuffer.h"

#include <QObject>
#include <QtGlobal>

#include <deque>
#include <memory>
#include <unordered_map>
#include <unordered_set>
#include <vector>

class CSpectrumCache : public QObject {
    Q_OBJECT
public:
    static constexpr std::size_t kMaxColumns = 1 << 16;

    explicit CSpectrumCache(QObject* parent = nullptr);
    ~CSpectrumCache() override;

    // The sample and channel (0 left or only, 1 right); forgets every column when either
    // changes, as when the sample's layout has.
    void SetSource(const CSampleBuffer* buffer, int channel);
    // The levels (spectrum::BinCount(spectrum::SizeFor(frames)) bytes) of the column of `frames`
    // frames from `start`, or null while it has not been computed. `current` tells whether an
    // edit has changed its frames since.
    const quint8* Column(quint32 frames, quint32 start, bool* current = nullptr) const;
    // The columns the owner shows now, in the order it wants them. Those not here (or out of
    // date) and not being computed are queued; they replace what an earlier request queued and
    // no worker has started yet.
    void Request(quint32 frames, const std::vector<quint32>& starts);
    // The sample's frames from `from` on changed (its length too, perhaps).
    void Invalidate(quint32 from);

    // Columns queued or being computed.
    bool Busy() const { return !m_queue.empty() || m_running > 0; }
    // Columns the workers have computed since the cache was made; the tests count them.
    quint64 Computed() const { return m_computed; }
    std::size_t Stored() const { return m_store.size(); }

Q_SIGNALS:
    // Columns of `frames` frames whose starts lie in first..last arrived.
    void columnsReady(quint32 frames, quint32 first, quint32 last);

private:
    struct CEntry {
        std::vector<quint8> levels;
        bool current = true;
    };
    struct CLink;

    static quint64 Key(quint32 frames, quint32 start) { return quint64(frames) << 32 | start; }
    // Hands queued columns to workers while fewer than twice the pool's threads are busy.
    void Dispatch();
    void Arrived(quint64 generation, quint32 frames, const std::vector<quint32>& starts,
                 const std::vector<quint8>& levels);
    void Trim();
    void Forget();

    const CSampleBuffer* m_buffer = nullptr;
    int m_channel = 0;
    // The layout the columns were computed in: a sample reinterpreted in another one is new.
    SampleLayout m_layout = SampleLayout::Mono8;
    std::shared_ptr<CLink> m_link;
    std::unordered_map<quint64, CEntry> m_store;
    std::unordered_set<quint64> m_inFlight;
    std::deque<quint32> m_queue;
    quint32 m_queueFrames = 0;
    // The range of starts last asked for, which trimming keeps.
    quint32 m_wantFirst = 0;
    quint32 m_wantLast = 0;
    // Bumped by every edit and change of source: results of older batches are dropped.
    quint64 m_generation = 0;
    int m_running = 0;
    quint64 m_computed = 0;
};
