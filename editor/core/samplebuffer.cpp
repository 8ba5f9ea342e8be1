#include "core/samplebuffer.h"

#include "core/fileio.h"
#include "core/framecodec.h"
#include "core/peaksummary.h"
#include "core/reporter.h"

#include <cstring>
#include <limits>

namespace {

void ReportWarning(const QString& text, const QString& caption = QString()) {
    ReportMessage(CMessage{text, caption, CMessageIcon::Warning});
}

// The load defaults: 11025 Hz, 8-bit, mono PCM. The extra size stays as it was.
void SetLoadDefaults(CWaveFormat& format) {
    format.formatTag = 1;
    format.channels = 1;
    format.samplesPerSec = 11025;
    format.avgBytesPerSec = 11025;
    format.blockAlign = 1;
    format.bitsPerSample = 8;
}

// Fills `count` samples spaced `stride` bytes apart with one sample of `depth`: the byte 127 on
// 8-bit data, else silence, or with `deleted` the fill the editor has always written behind a
// deletion in one channel (127, and -256 for 16-bit data) at the other depths' scale.
void FillSamples(quint8* p, quint64 count, quint32 stride, SampleDepth depth, bool deleted) {
    quint8 value[4] = {127, 0, 0, 0};
    if (deleted && depth != SampleDepth::Int8) {
        wlpro::framecodec::WithDepth(depth, [&](auto d) {
            constexpr SampleDepth kDepth = decltype(d)::value;
            wlpro::sampleaccess::Sample<kDepth>::Store(
                value, wlpro::sampleaccess::ConvertValue<SampleDepth::Int16, kDepth>(-256));
        });
    } else if (depth != SampleDepth::Int8) {
        value[0] = 0;
    }
    for (quint64 i = 0; i < count; ++i, p += stride)
        std::memcpy(p, value, DepthBytes(depth));
}

// Moves `count` samples of one channel from `from` to `to` (stride apart), overlap-safe.
void MoveSamples(quint8* to, const quint8* from, quint64 count, quint32 stride,
                 quint32 sampleBytes) {
    if (to == from || count == 0)
        return;
    if (to < from) {
        for (quint64 i = 0; i < count; ++i)
            std::memcpy(to + i * stride, from + i * stride, sampleBytes);
    } else {
        for (quint64 i = count; i-- > 0;)
            std::memcpy(to + i * stride, from + i * stride, sampleBytes);
    }
}

bool IsSoundFileKind(FileKind kind) {
    return int(kind) >= int(FileKind::Flac) && int(kind) <= int(FileKind::Rf64);
}

} // namespace

FileKind FileKindForPath(const QString& path) {
    struct Ending {
        const char* text;
        FileKind kind;
    };
    static const Ending kEndings[] = {
        {".AU", FileKind::SunAudio},   {".SND", FileKind::SunAudio}, {".VOC", FileKind::Voice},
        {".WAV", FileKind::Wave},      {".FLAC", FileKind::Flac},    {".AIF", FileKind::Aiff},
        {".AIFF", FileKind::Aiff},     {".AIFC", FileKind::Aiff},    {".OGG", FileKind::OggVorbis},
        {".OGA", FileKind::OggVorbis}, {".OPUS", FileKind::Opus},    {".CAF", FileKind::Caf},
        {".W64", FileKind::Wave64},    {".RF64", FileKind::Rf64}};
    const QString upper = path.toUpper();
    for (const Ending& ending : kEndings) {
        if (upper.endsWith(QLatin1String(ending.text)))
            return ending.kind;
    }
    return FileKind::Raw;
}

CSampleBuffer::CSampleBuffer() = default;

// The audio engine that locked the data stops its devices when it goes, before the buffer does.
CSampleBuffer::~CSampleBuffer() {
    Q_ASSERT(!Busy());
}

QString CSampleBuffer::GetInfo(int index) const {
    if (index < 0 || index >= InfoTextCount)
        return QString();
    return m_info[std::size_t(index)];
}

void CSampleBuffer::SetInfo(int index, const QString& text) {
    if (index >= 0 && index < InfoTextCount)
        m_info[std::size_t(index)] = text;
}

int CSampleBuffer::SetFormat(quint32 rate, bool stereo, bool sixteenBit) {
    return SetFormat(rate, stereo, sixteenBit ? SampleDepth::Int16 : SampleDepth::Int8);
}

int CSampleBuffer::SetFormat(quint32 rate, bool stereo, SampleDepth depth) {
    m_layout = MakeLayout(stereo, depth);
    const quint32 blockAlign = BytesPerFrame();
    // Float samples carry the IEEE float tag; every integer depth is PCM.
    m_format.formatTag = quint16(depth == SampleDepth::Float32 ? 3 : 1);
    m_format.channels = quint16(stereo ? 2 : 1);
    m_format.bitsPerSample = quint16(DepthBits(depth));
    m_format.samplesPerSec = rate;
    m_format.avgBytesPerSec = quint32(quint64(rate) * blockAlign);
    m_format.blockAlign = quint16(blockAlign);
    m_frameCount = m_byteLength / blockAlign;
    return int(blockAlign);
}

void CSampleBuffer::CommitFormat() {
    m_committed = m_format;
}

void CSampleBuffer::RevertFormat(quint32& rate, bool& stereo, bool& sixteenBit) {
    m_format = m_committed;
    LayoutFromFormat();
    m_frameCount = m_byteLength / BytesPerFrame();
    rate = m_format.samplesPerSec;
    stereo = LayoutIsStereo(m_layout);
    sixteenBit = LayoutIs16Bit(m_layout);
}

void CSampleBuffer::LayoutFromFormat() {
    m_layout = MakeLayout(m_format.channels != 1, DepthForBits(m_format.bitsPerSample));
}

void CSampleBuffer::SetByteLength(quint32 bytes) {
    m_byteLength = bytes;
    m_frameCount = bytes / BytesPerFrame();
}

bool CSampleBuffer::BeginWrite() {
    if (Busy())
        return false;
    if (m_clipboardBlock.isNull())
        return true;
    CMemoryBlock own;
    if (!own.Allocate(m_byteLength)) {
        ReportWarning(QStringLiteral("Error - Out of Memory!"));
        return false;
    }
    if (m_byteLength)
        std::memcpy(own.Data(), m_data, m_byteLength);
    m_memory = std::move(own);
    m_data = m_memory.Data();
    m_clipboardBlock.clear();
    return true;
}

bool CSampleBuffer::AllocateData(quint64 bytes) {
    FreeData();
    if (bytes > std::numeric_limits<quint32>::max() || !m_memory.Allocate(std::size_t(bytes))) {
        ReportWarning(QStringLiteral("Error - Out of Memory!"));
        return false;
    }
    m_data = m_memory.Data();
    return true;
}

bool CSampleBuffer::ResizeData(quint64 bytes) {
    if (bytes > std::numeric_limits<quint32>::max() || !m_memory.Resize(std::size_t(bytes)))
        return false;
    m_data = m_memory.Data();
    return true;
}

void CSampleBuffer::FreeData() {
    m_memory.Free();
    m_data = nullptr;
    m_clipboardBlock.clear();
    m_byteLength = 0;
    m_frameCount = 0;
}

bool CSampleBuffer::ResolveRange(qint64& first, qint64& last) const {
    if (!m_data || m_frameCount == 0)
        return false;
    if (first == -1 && last == -1) {
        first = 0;
        last = qint64(m_frameCount) - 1;
    }
    if (first < 0)
        first = 0;
    if (last >= qint64(m_frameCount))
        last = qint64(m_frameCount) - 1;
    return first <= last;
}

void CSampleBuffer::ReadFrame(quint32 frame, SampleLayout target, void* slot) const {
    if (frame >= m_frameCount || !m_data)
        return;
    const quint8* p = m_data + quint64(frame) * BytesPerFrame();
    quint8 packed[8];
    namespace codec = wlpro::framecodec;
    codec::WithLayout(m_layout, [&](auto source) {
        codec::WithLayout(target, [&](auto to) {
            codec::ConvertFrame<decltype(source)::value, decltype(to)::value>(p, packed);
        });
    });
    // Each channel's value at the start of its half of the slot.
    const quint32 bytes = LayoutBytesPerSample(target);
    auto* out = static_cast<quint8*>(slot);
    for (quint32 c = 0; c < LayoutChannels(target); ++c)
        std::memcpy(out + c * wlpro::sampleaccess::SlotHalf(target), packed + c * bytes, bytes);
}

int CSampleBuffer::InsertFrames(quint32 at, quint32 count, int channel) {
    if (!BeginWrite())
        return 0;
    const quint32 frameBytes = BytesPerFrame();
    const quint64 oldLength = m_byteLength;
    const quint64 newLength = oldLength + quint64(count) * frameBytes;
    const quint32 oldFrames = m_frameCount;
    if (at > oldFrames)
        at = oldFrames;
    if (!ResizeData(newLength)) {
        ReportWarning(QStringLiteral("Error resizing sample!"), QStringLiteral("Wavelathe"));
        return 0;
    }
    SetByteLength(quint32(newLength));

    const quint64 shift = quint64(count) * frameBytes;
    const quint64 from = quint64(at) * frameBytes;
    const quint64 restAt = quint64(oldFrames) * frameBytes;
    // The odd bytes past the last whole frame stay behind it; they move first, before moved
    // frames land on them.
    std::memmove(m_data + restAt + shift, m_data + restAt, oldLength - restAt);
    const bool oneChannel = (channel == 1 || channel == 2) && LayoutIsStereo(m_layout);
    if (!oneChannel) {
        std::memmove(m_data + from + shift, m_data + from, restAt - from);
        return 1;
    }

    const quint32 sampleBytes = BytesPerSample();
    const quint64 chosen = channel == 2 ? sampleBytes : 0;
    const quint64 other = channel == 2 ? 0 : sampleBytes;
    MoveSamples(m_data + from + shift + chosen, m_data + from + chosen, oldFrames - at, frameBytes,
                sampleBytes);
    // The other channel keeps its frames; its new frames at the end get a defined value.
    FillSamples(m_data + restAt + other, count, frameBytes, GetDepth(), false);
    return 1;
}

int CSampleBuffer::DeleteFrames(qint64 first, qint64 last, int channel) {
    if (!ResolveRange(first, last) || !BeginWrite())
        return 0;
    const quint32 frameBytes = BytesPerFrame();
    const quint64 count = quint64(last - first + 1);
    const bool oneChannel = (channel == 1 || channel == 2) && LayoutIsStereo(m_layout);
    if (!oneChannel) {
        const quint64 to = quint64(first) * frameBytes;
        const quint64 from = quint64(last + 1) * frameBytes;
        std::memmove(m_data + to, m_data + from, m_byteLength - from);
        const quint32 newLength = quint32(m_byteLength - count * frameBytes);
        ResizeData(newLength);
        SetByteLength(newLength);
        return 1;
    }

    const quint32 sampleBytes = BytesPerSample();
    const quint64 chosen = channel == 2 ? sampleBytes : 0;
    const quint64 moved = m_frameCount - quint64(last) - 1;
    MoveSamples(m_data + quint64(first) * frameBytes + chosen,
                m_data + quint64(last + 1) * frameBytes + chosen, moved, frameBytes, sampleBytes);
    FillSamples(m_data + (quint64(first) + moved) * frameBytes + chosen, count, frameBytes,
                GetDepth(), true);
    return 1;
}

int CSampleBuffer::CopyFrom(const CSampleBuffer& other) {
    // The old data is freed below; no device may still play it or record into it.
    if (Busy())
        return 0;
    if (&other == this)
        return 1;
    // A copy of an empty sample is empty too, not a sample with an empty block.
    if (!other.m_data)
        FreeData();
    else if (!AllocateData(other.m_byteLength))
        return 0;
    if (other.m_byteLength)
        std::memcpy(m_data, other.m_data, other.m_byteLength);
    m_layout = other.m_layout;
    m_format = other.m_format;
    m_committed = other.m_format;
    m_byteLength = other.m_byteLength;
    m_frameCount = other.m_frameCount;
    return 1;
}

int CSampleBuffer::LoadFile(const QString& path, FileKind kind, CPeakSummary* summary) {
    if (Busy())
        return 0;
    const CWaveFormat before = m_format;
    m_fileOrigin = CFileOrigin{};
    SetLoadDefaults(m_format);
    m_layout = SampleLayout::Mono8;
    if (summary)
        summary->BeginFeed();
    int result = 0;
    switch (kind) {
    case FileKind::Wave:
        m_loadSummary = summary;
        result = ReadWave(path);
        m_loadSummary = nullptr;
        break;
    case FileKind::SunAudio:
        result = ReadSunAudio(path);
        break;
    case FileKind::Voice:
        result = ReadVoice(path);
        break;
    default:
        if (IsSoundFileKind(kind))
            result = ReadSoundFile(path);
        break;
    }
    if (result == 0) {
        // What a failed reader fed may share its address with the raw read's new block.
        if (summary)
            summary->BeginFeed();
        result = ReadRaw(path, 0, 0);
    }
    // A file that cannot be read at all leaves the sample's data; its format must still describe
    // it.
    if (result == 0) {
        m_format = before;
        LayoutFromFormat();
        SetByteLength(m_byteLength);
    }
    if (m_fileOrigin.channels == 0)
        m_fileOrigin.channels = GetChannels();
    CommitFormat();
    // The other readers feed nothing: their summary is built here, from the loaded data.
    if (summary)
        summary->FinishFeed(*this);
    return result;
}

int CSampleBuffer::SaveFile(const QString& path, FileKind kind) {
    // Voice files hold 8 bits and raw data 16: a wider sample goes there narrowed, through a
    // copy, so the sample itself stays as it is.
    const bool voice = kind == FileKind::Voice;
    if (!LayoutIsClassic(m_layout) && !IsSoundFileKind(kind) && !KindHoldsDepth(kind, GetDepth())) {
        CSampleBuffer narrow;
        if (!wlpro::NarrowedCopy(*this, voice ? SampleDepth::Int8 : SampleDepth::Int16, narrow))
            return 0;
        return voice ? narrow.WriteVoice(path) : narrow.WriteRaw(path);
    }
    if (IsSoundFileKind(kind))
        return WriteSoundFile(path, kind);
    switch (kind) {
    case FileKind::Wave:
        return WriteWave(path);
    case FileKind::SunAudio:
        return WriteSunAudio(path);
    case FileKind::Voice:
        return WriteVoice(path);
    default:
        break;
    }
    return WriteRaw(path);
}
