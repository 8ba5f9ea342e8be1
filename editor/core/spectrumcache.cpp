#include "core/spectrumcache.h"

#include "core/spectrum.h"

#include <QThreadPool>

#include <algorithm>
#include <map>
#include <mutex>

namespace {

// FFTs per batch: about a millisecond of a worker's time, so that columns show up steadily and
// a scroll's new request waits little behind batches already started.
constexpr int kWindowsPerBatch = 64;

// A batch of columns handed to a worker: the frames of each column's windows, copied.
struct CBatch {
    quint64 generation = 0;
    quint32 frames = 0;
    int size = 0;
    std::vector<quint32> starts;
    std::vector<int> windows;
    std::vector<float> samples;
};

// Levels of every column of the batch, one after another.
std::vector<quint8> Compute(const CBatch& batch) {
    // One analyser per thread and size: its arrays and window are made once.
    thread_local std::map<int, std::unique_ptr<spectrum::CAnalyser>> analysers;
    auto& analyser = analysers[batch.size];
    if (!analyser)
        analyser = std::make_unique<spectrum::CAnalyser>(batch.size);
    const std::size_t bins = std::size_t(spectrum::BinCount(batch.size));
    std::vector<quint8> levels(bins * batch.starts.size());
    const float* samples = batch.samples.data();
    for (std::size_t i = 0; i < batch.starts.size(); ++i) {
        analyser->Levels(samples, batch.windows[i], levels.data() + i * bins);
        samples += std::size_t(batch.windows[i]) * std::size_t(batch.size);
    }
    return levels;
}

} // namespace

// What a worker reaches the cache through: null once the cache is gone. The lock keeps the
// cache from going while a worker posts to it.
struct CSpectrumCache::CLink {
    std::mutex lock;
    CSpectrumCache* cache = nullptr;
};

CSpectrumCache::CSpectrumCache(QObject* parent)
    : QObject(parent), m_link(std::make_shared<CLink>()) {
    m_link->cache = this;
}

CSpectrumCache::~CSpectrumCache() {
    const std::lock_guard<std::mutex> guard(m_link->lock);
    m_link->cache = nullptr;
}

void CSpectrumCache::SetSource(const CSampleBuffer* buffer, int channel) {
    if (buffer == m_buffer && channel == m_channel && (!buffer || buffer->GetLayout() == m_layout))
        return;
    m_buffer = buffer;
    m_channel = channel;
    m_layout = buffer ? buffer->GetLayout() : SampleLayout::Mono8;
    Forget();
}

void CSpectrumCache::Forget() {
    m_store.clear();
    m_inFlight.clear();
    m_queue.clear();
    ++m_generation;
}

const quint8* CSpectrumCache::Column(quint32 frames, quint32 start, bool* current) const {
    const auto it = m_store.find(Key(frames, start));
    if (it == m_store.end())
        return nullptr;
    if (current)
        *current = it->second.current;
    return it->second.levels.data();
}

void CSpectrumCache::Request(quint32 frames, const std::vector<quint32>& starts) {
    SetSource(m_buffer, m_channel);
    m_queue.clear();
    m_queueFrames = frames;
    if (starts.empty())
        return;
    const auto [low, high] = std::minmax_element(starts.begin(), starts.end());
    m_wantFirst = *low;
    m_wantLast = *high;
    for (quint32 start : starts) {
        const quint64 key = Key(frames, start);
        const auto it = m_store.find(key);
        if ((it != m_store.end() && it->second.current) || m_inFlight.count(key))
            continue;
        m_queue.push_back(start);
    }
    Dispatch();
}

void CSpectrumCache::Invalidate(quint32 from) {
    for (auto& [key, entry] : m_store) {
        if (spectrum::ColumnReach(quint32(key), quint32(key >> 32)) > from)
            entry.current = false;
    }
    // Batches under way read the frames as they were.
    m_inFlight.clear();
    ++m_generation;
}

void CSpectrumCache::Dispatch() {
    QThreadPool* pool = QThreadPool::globalInstance();
    const int limit = 2 * std::max(pool->maxThreadCount(), 1);
    // A sample being recorded holds no frames yet.
    if (!m_buffer || m_buffer->GetDataLock() == CSampleBuffer::CDataLock::Fill)
        return;
    const quint32 frameCount = m_buffer->GetFrameCount();
    const int size = spectrum::SizeFor(m_queueFrames);
    while (m_running < limit && !m_queue.empty()) {
        auto batch = std::make_shared<CBatch>();
        batch->generation = m_generation;
        batch->frames = m_queueFrames;
        batch->size = size;
        int windows = 0;
        while (!m_queue.empty() && windows < kWindowsPerBatch) {
            const quint32 start = m_queue.front();
            m_queue.pop_front();
            const spectrum::CWindows at =
                spectrum::ColumnWindows(start, m_queueFrames, frameCount, size);
            const std::size_t offset = batch->samples.size();
            batch->samples.resize(offset + std::size_t(at.count) * std::size_t(size));
            for (int j = 0; j < at.count; ++j)
                spectrum::ReadChannel(*m_buffer, m_channel, at.start[j], size,
                                      batch->samples.data() + offset + std::size_t(j) * size);
            batch->starts.push_back(start);
            batch->windows.push_back(at.count);
            m_inFlight.insert(Key(m_queueFrames, start));
            windows += at.count;
        }
        ++m_running;
        pool->start([batch, link = m_link] {
            {
                const std::lock_guard<std::mutex> guard(link->lock);
                if (!link->cache)
                    return;
            }
            std::vector<quint8> levels = Compute(*batch);
            const std::lock_guard<std::mutex> guard(link->lock);
            if (CSpectrumCache* cache = link->cache) {
                QMetaObject::invokeMethod(
                    cache,
                    [cache, batch, levels = std::move(levels)] {
                        cache->Arrived(batch->generation, batch->frames, batch->starts, levels);
                    },
                    Qt::QueuedConnection);
            }
        });
    }
}

void CSpectrumCache::Arrived(quint64 generation, quint32 frames, const std::vector<quint32>& starts,
                             const std::vector<quint8>& levels) {
    --m_running;
    m_computed += starts.size();
    if (generation == m_generation && !starts.empty()) {
        const std::size_t bins = std::size_t(spectrum::BinCount(spectrum::SizeFor(frames)));
        for (std::size_t i = 0; i < starts.size(); ++i) {
            const quint64 key = Key(frames, starts[i]);
            m_inFlight.erase(key);
            CEntry& entry = m_store[key];
            entry.levels.assign(levels.begin() + std::ptrdiff_t(i * bins),
                                levels.begin() + std::ptrdiff_t((i + 1) * bins));
            entry.current = true;
        }
        Trim();
        const auto [low, high] = std::minmax_element(starts.begin(), starts.end());
        Q_EMIT columnsReady(frames, *low, *high);
    }
    Dispatch();
}

void CSpectrumCache::Trim() {
    if (m_store.size() <= kMaxColumns)
        return;
    for (auto it = m_store.begin(); it != m_store.end();)
        it = quint32(it->first >> 32) != m_queueFrames ? m_store.erase(it) : std::next(it);
    for (auto it = m_store.begin(); it != m_store.end() && m_store.size() > kMaxColumns;) {
        const quint32 start = quint32(it->first);
        it = start < m_wantFirst || start > m_wantLast ? m_store.erase(it) : std::next(it);
    }
}
