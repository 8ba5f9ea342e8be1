#pragma once
// Exact reads for the file readers: every read names its offset and size and fails when the file
// does not hold that many bytes, so no reader ever trusts a size it has not checked. Also the
// decoding of the texts that files carry.

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QtGlobal>

class CSampleBuffer;
enum class SampleDepth : quint8;

namespace wlpro {

// Reads exactly `size` bytes at `offset`.
bool ReadAt(QFile& file, qint64 offset, void* to, qint64 size);
// Reads exactly `size` bytes at the current position.
bool ReadExactly(QFile& file, void* to, qint64 size);
// Writes all `size` bytes.
bool WriteAll(QIODevice& file, const void* from, qint64 size);
// Texts are UTF-8 when they decode as such; older files hold Latin-1.
QString DecodeText(const QByteArray& bytes);

// A copy of the 24-bit or float sample `from` at 8 or 16 bits, for the files that hold no more:
// 24-bit samples keep their high bits, float ones are scaled by 2^(bits-1), rounded and clipped.
// False when memory is short.
bool NarrowedCopy(const CSampleBuffer& from, SampleDepth depth, CSampleBuffer& into);

} // namespace wlpro
