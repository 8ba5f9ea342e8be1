#pragma once
// One copy-and-paste between two editors: the sample copied from, what of it is copied, and the
// sample pasted into. The peer program runs either side in its own process; the test runs both
// sides in one process and compares.

#include "samplemaker.h"

#include "core/samplebuffer.h"

#include <QByteArray>
#include <QStringList>

#include <cstring>

// Random frames of any layout: the values of samplemaker.h at 8 and 16 bits, random 24-bit
// values, and floats up to twice full scale, so that a clip shows whether it kept them.
inline void FillRandom(CSampleBuffer& buffer, SampleLayout layout, quint32 rate, quint32 frames,
                       quint32 seed) {
    if (LayoutIsClassic(layout)) {
        FillSample(buffer, layout, rate, RandomValues(layout, frames, seed));
        return;
    }
    buffer.SetFormat(rate, LayoutIsStereo(layout), LayoutDepth(layout));
    buffer.InsertFrames(0, frames, 0);
    QRandomGenerator random(seed);
    const bool isFloat = LayoutDepth(layout) == SampleDepth::Float32;
    for (quint32 i = 0; i < buffer.GetByteLength(); i += buffer.BytesPerSample()) {
        quint8* p = buffer.GetData() + i;
        if (isFloat) {
            const float v = float(random.bounded(4.0) - 2.0);
            std::memcpy(p, &v, 4);
        } else {
            for (int b = 0; b < 3; ++b)
                p[b] = quint8(random.bounded(256));
        }
    }
    buffer.CommitFormat();
}

struct CTransfer {
    // Copied from: random frames of this layout and rate.
    SampleLayout sourceLayout = SampleLayout::Stereo16;
    quint32 sourceRate = 0;
    quint32 sourceFrames = 0;
    qint64 first = -1;
    qint64 last = -1;
    int copyChannel = 0;
    // Pasted into: random frames of this layout (none: an empty document), at, selector.
    SampleLayout targetLayout = SampleLayout::Stereo16;
    quint32 targetFrames = 0;
    quint32 at = 0;
    int pasteChannel = 0;

    QStringList ToArguments() const {
        QStringList list;
        for (qint64 v : {qint64(sourceLayout), qint64(sourceRate), qint64(sourceFrames), first,
                         last, qint64(copyChannel), qint64(targetLayout), qint64(targetFrames),
                         qint64(at), qint64(pasteChannel)})
            list << QString::number(v);
        return list;
    }
    static CTransfer FromArguments(const QStringList& list) {
        CTransfer t;
        auto at = [&](int i) { return list.value(i).toLongLong(); };
        t.sourceLayout = SampleLayout(at(0));
        t.sourceRate = quint32(at(1));
        t.sourceFrames = quint32(at(2));
        t.first = at(3);
        t.last = at(4);
        t.copyChannel = int(at(5));
        t.targetLayout = SampleLayout(at(6));
        t.targetFrames = quint32(at(7));
        t.at = quint32(at(8));
        t.pasteChannel = int(at(9));
        return t;
    }

    int Copy() const {
        CSampleBuffer source;
        FillRandom(source, sourceLayout, sourceRate, sourceFrames, 1);
        return source.CopyToClipboard(nullptr, first, last, copyChannel);
    }

    // What the paste made of the target, as text: count, format and data.
    QByteArray Paste() const {
        CSampleBuffer target;
        if (targetFrames)
            FillRandom(target, targetLayout, 22050, targetFrames, 2);
        const quint32 pasted = target.PasteFromClipboard(nullptr, at, pasteChannel);
        const QByteArray data = target.HasData()
                                    ? QByteArray(reinterpret_cast<const char*>(target.GetData()),
                                                 qsizetype(target.GetByteLength()))
                                    : QByteArray();
        return "pasted " + QByteArray::number(pasted) + " layout " +
               QByteArray::number(quint32(target.GetLayout())) + " rate " +
               QByteArray::number(target.GetRate()) + " frames " +
               QByteArray::number(target.GetFrameCount()) + " data " + data.toHex();
    }
};
