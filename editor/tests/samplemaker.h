#pragma once
// Samples built from lists of sample values, and what tests compare of them afterwards.

#include "core/samplebuffer.h"

#include <QByteArray>
#include <QRandomGenerator>

#include <cstring>
#include <vector>

// Sample values in memory order (stereo interleaved, left first): bytes 0..255 for 8-bit
// layouts, signed values for 16-bit ones.
using Values = std::vector<int>;

// Fills an empty buffer with the values in the layout and commits that format.
inline void FillSample(CSampleBuffer& buffer, SampleLayout layout, quint32 rate,
                       const Values& values) {
    buffer.SetFormat(rate, LayoutIsStereo(layout), LayoutIs16Bit(layout));
    const quint32 frames = quint32(values.size() / LayoutChannels(layout));
    buffer.InsertFrames(0, frames, 0);
    quint8* p = buffer.GetData();
    for (int v : values) {
        if (LayoutIs16Bit(layout)) {
            *p++ = quint8(v & 0xFF);
            *p++ = quint8((v >> 8) & 0xFF);
        } else {
            *p++ = quint8(v);
        }
    }
    buffer.CommitFormat();
}

inline Values ValuesOf(const CSampleBuffer& buffer) {
    Values values;
    const quint8* p = buffer.GetData();
    if (!p)
        return values;
    if (LayoutIs16Bit(buffer.GetLayout())) {
        for (quint32 i = 0; i + 1 < buffer.GetByteLength(); i += 2)
            values.push_back(qint16(quint16(p[i] | (p[i + 1] << 8))));
    } else {
        values.assign(p, p + buffer.GetByteLength());
    }
    return values;
}

// Every sample of one channel (0 left or only, 1 right).
inline Values ChannelOf(const CSampleBuffer& buffer, int channel) {
    const Values all = ValuesOf(buffer);
    if (buffer.GetChannels() == 1)
        return all;
    Values one;
    for (std::size_t i = std::size_t(channel); i < all.size(); i += 2)
        one.push_back(all[i]);
    return one;
}

inline Values RandomValues(SampleLayout layout, quint32 frames, quint32 seed) {
    QRandomGenerator random(seed);
    Values values(std::size_t(frames) * LayoutChannels(layout));
    for (int& v : values)
        v = LayoutIs16Bit(layout) ? int(random.bounded(-32768, 32768)) : int(random.bounded(256));
    return values;
}

// Everything an edit may change, for comparing a sample before and after.
struct CSampleState {
    QByteArray bytes;
    CWaveFormat format;
    CWaveFormat committed;
    SampleLayout layout = SampleLayout::Mono8;
    quint32 frames = 0;
    bool hasData = false;

    static CSampleState Of(const CSampleBuffer& buffer) {
        CSampleState state;
        if (buffer.GetData())
            state.bytes = QByteArray(reinterpret_cast<const char*>(buffer.GetData()),
                                     qsizetype(buffer.GetByteLength()));
        state.format = buffer.GetFormat();
        state.committed = buffer.GetCommittedFormat();
        state.layout = buffer.GetLayout();
        state.frames = buffer.GetFrameCount();
        state.hasData = buffer.HasData();
        return state;
    }
    friend bool operator==(const CSampleState& a, const CSampleState& b) {
        return a.bytes == b.bytes && a.format == b.format && a.committed == b.committed &&
               a.layout == b.layout && a.frames == b.frames && a.hasData == b.hasData;
    }
};
