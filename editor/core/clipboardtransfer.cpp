// Cut, copy and paste through the system clipboard under the private format "WLSAMPLE", so that
// running editors exchange samples. A clip carries its own layout and rate; a paste converts it
// frame by frame to the target's layout (not its rate), so a float clip keeps values beyond full
// scale in a float sample and is clipped in an integer one. The clipboard is changed only by a
// copy that has succeeded, and a paste changes the sample only when the whole clip can go in.

#include "core/clipboardaccess.h"
#include "core/reporter.h"
#include "core/sampleaccess.h"
#include "core/samplebuffer.h"
#include "core/sampleclip.h"

#include <algorithm>
#include <cstring>
#include <new>

using namespace wlpro::sampleaccess;

namespace {

void ReportClipboardError(const char* text) {
    ReportMessage(
        CMessage{QString::fromLatin1(text), QStringLiteral("Wavelathe"), CMessageIcon::Warning});
}

bool IsOneChannel(SampleLayout layout, int channel) {
    return LayoutIsStereo(layout) && (channel == 1 || channel == 2);
}

} // namespace

int CSampleBuffer::CopyToClipboard(QObject* /*window*/, qint64 first, qint64 last, int channel) {
    if (!m_data) {
        ReportClipboardError("Error manipulating memory!");
        return 0;
    }
    if (!ResolveRange(first, last))
        return 0;
    const bool oneChannel = IsOneChannel(m_layout, channel);
    const quint64 frames = quint64(last - first + 1);
    const quint64 n = frames * BytesPerFrame() / (oneChannel ? 2 : 1);
    QByteArray block;
    try {
        const SampleLayout layout = oneChannel ? MakeLayout(false, GetDepth()) : m_layout;
        block = CSampleClip::MakeBlock(quint32(layout), GetRate(), quint32(n));
    } catch (const std::bad_alloc&) {
        ReportClipboardError("Error - Out of Memory!");
        return 0;
    }
    CClipboardAccess* clipboard = CClipboardAccess::Installed();
    if (!clipboard) {
        ReportClipboardError("Error opening clipboard!");
        return 0;
    }

    auto* out = reinterpret_cast<quint8*>(block.data()) + CSampleClip::kHeaderSize;
    if (!oneChannel) {
        std::memcpy(out, m_data + quint64(first) * BytesPerFrame(), n);
    } else {
        const CChannelWalk walk = WalkChannel(m_data, m_layout, first, last, channel);
        const quint32 sampleBytes = BytesPerSample();
        const quint8* in = walk.start;
        for (quint64 i = 0; i < walk.count; ++i, in += walk.stride, out += sampleBytes)
            std::memcpy(out, in, sampleBytes);
    }
    if (!clipboard->SetData(CSampleClip::FormatName(), block)) {
        ReportClipboardError("Error opening clipboard!");
        return 0;
    }
    return 1;
}

int CSampleBuffer::CutToClipboard(QObject* window, qint64 first, qint64 last, int channel) {
    // A cut that could not delete would leave the clipboard changed for nothing.
    if (Busy() || !CopyToClipboard(window, first, last, channel))
        return 0;
    return DeleteFrames(first, last, channel);
}

int CSampleBuffer::ReadClipboard(QObject* /*window*/) {
    if (Busy())
        return 0;
    CClipboardAccess* clipboard = CClipboardAccess::Installed();
    QByteArray bytes;
    if (!clipboard || !clipboard->ReadData(CSampleClip::FormatName(), bytes)) {
        ReportClipboardError("Error opening clipboard!");
        return 0;
    }
    if (bytes.isNull())
        return 0;
    // Clips come from other programs: one that is not whole is not read at all.
    const std::optional<CSampleClip> clip = CSampleClip::Decode(bytes);
    if (!clip)
        return 0;
    FreeData();
    // data() makes the block this buffer's own if the clipboard still shares it, so that writing
    // through the buffer never changes what the clipboard holds.
    m_clipboardBlock = clip->block;
    m_data = reinterpret_cast<quint8*>(m_clipboardBlock.data()) + CSampleClip::kHeaderSize;
    m_byteLength = clip->byteCount;
    const auto layout = SampleLayout(clip->layout);
    SetFormat(clip->rate, LayoutIsStereo(layout), LayoutDepth(layout));
    return 1;
}

void CSampleBuffer::ReleaseClipboard() {
    if (m_clipboardBlock.isNull() || Busy())
        return;
    FreeData();
}

quint32 CSampleBuffer::PasteFromClipboard(QObject* window, quint32 at, int channel) {
    return InsertClipboard(window, at >= m_frameCount ? 0 : at, channel);
}

quint32 CSampleBuffer::InsertClipboard(QObject* window, quint32 at, int channel) {
    CSampleBuffer clip;
    if (!clip.ReadClipboard(window))
        return 0;
    const quint32 count = clip.GetFrameCount();
    if (count == 0)
        return 0;
    if (!m_data)
        return CopyFrom(clip) ? count : 0;

    at = std::min(at, m_frameCount);
    if (!InsertFrames(at, count, channel))
        return 0;
    const quint32 frameBytes = BytesPerFrame();
    quint8* out = m_data + quint64(at) * frameBytes;
    if (!IsOneChannel(m_layout, channel)) {
        for (quint32 j = 0; j < count; ++j, out += frameBytes) {
            quint8 slot[8] = {};
            clip.ReadFrame(j, m_layout, slot);
            StoreSlot(out, slot, m_layout);
        }
        return count;
    }
    const SampleLayout mono = MakeLayout(false, GetDepth());
    const quint32 sampleBytes = BytesPerSample();
    out += channel == 2 ? sampleBytes : 0;
    for (quint32 j = 0; j < count; ++j, out += frameBytes) {
        quint8 slot[8] = {};
        clip.ReadFrame(j, mono, slot);
        std::memcpy(out, slot, sampleBytes);
    }
    return count;
}
