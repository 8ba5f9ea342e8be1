#include "core/g711.h"

#include <array>

namespace {

qint16 ExpandULaw(quint8 code) {
    const int u = ~code & 0xFF;
    const int exponent = (u >> 4) & 0x07;
    const int magnitude = ((((u & 0x0F) << 3) + 0x84) << exponent) - 0x84;
    return qint16((u & 0x80) ? -magnitude : magnitude);
}

qint16 ExpandALaw(quint8 code) {
    const int a = code ^ 0x55;
    const int segment = (a >> 4) & 0x07;
    int magnitude = (a & 0x0F) << 4;
    if (segment == 0)
        magnitude += 8;
    else
        magnitude = (magnitude + 0x108) << (segment - 1);
    return qint16((a & 0x80) ? magnitude : -magnitude);
}

// Built once; a table look-up per byte is what keeps whole-file decoding fast.
template <qint16 (*Expand)(quint8)> const std::array<qint16, 256>& Table() {
    static const std::array<qint16, 256> table = [] {
        std::array<qint16, 256> t{};
        for (int code = 0; code < 256; ++code)
            t[std::size_t(code)] = Expand(quint8(code));
        return t;
    }();
    return table;
}

} // namespace

namespace wlpro {

qint16 ULawToLinear(quint8 code) {
    return Table<ExpandULaw>()[code];
}

qint16 ALawToLinear(quint8 code) {
    return Table<ExpandALaw>()[code];
}

} // namespace wlpro
