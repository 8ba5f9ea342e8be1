#pragma once
// Reading and writing fixed-width numbers in a given byte order, for the file formats.

#include <QtGlobal>

namespace wlpro {

inline quint16 ReadLE16(const quint8* p) {
    return quint16(p[0] | (p[1] << 8));
}
inline quint32 ReadLE24(const quint8* p) {
    return quint32(p[0] | (p[1] << 8) | (p[2] << 16));
}
inline quint32 ReadLE32(const quint8* p) {
    return quint32(p[0]) | (quint32(p[1]) << 8) | (quint32(p[2]) << 16) | (quint32(p[3]) << 24);
}
inline quint32 ReadBE32(const quint8* p) {
    return (quint32(p[0]) << 24) | (quint32(p[1]) << 16) | (quint32(p[2]) << 8) | quint32(p[3]);
}

inline void WriteLE16(quint8* p, quint32 v) {
    p[0] = quint8(v);
    p[1] = quint8(v >> 8);
}
inline void WriteLE24(quint8* p, quint32 v) {
    p[0] = quint8(v);
    p[1] = quint8(v >> 8);
    p[2] = quint8(v >> 16);
}
inline void WriteLE32(quint8* p, quint32 v) {
    WriteLE16(p, v);
    WriteLE16(p + 2, v >> 16);
}
inline void WriteBE32(quint8* p, quint32 v) {
    p[0] = quint8(v >> 24);
    p[1] = quint8(v >> 16);
    p[2] = quint8(v >> 8);
    p[3] = quint8(v);
}

} // namespace wlpro
