#pragma once
// The "WLSAMPLE" clip that carries sample data between editors over the system clipboard:
// a 12-byte header of three little-endian 32-bit numbers (SampleLayout code, samples per second,
// data byte count) followed by the data in that layout. Clips arrive from other programs, so a
// decoded clip has been checked: a known layout, a rate above 0, and a byte count of at least one
// frame that its data really holds.

#include <QByteArray>
#include <QString>

#include <optional>

struct CSampleClip {
    static constexpr int kHeaderSize = 12;
    // The clipboard format name, fixed so that every running editor finds the others' clips.
    static QString FormatName();

    quint32 layout = 0;
    quint32 rate = 0;
    quint32 byteCount = 0;
    // The whole clipboard block; the data starts kHeaderSize bytes in, where it is read without
    // a copy.
    QByteArray block;

    // A block with the header written and room for `byteCount` data bytes after it, which the
    // caller fills. Throws std::bad_alloc when memory is short.
    static QByteArray MakeBlock(quint32 layout, quint32 rate, quint32 byteCount);
    // Empty when the block is not a clip this editor can paste. Trailing bytes beyond the
    // header's count are ignored.
    static std::optional<CSampleClip> Decode(const QByteArray& block);
};
