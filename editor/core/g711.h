#pragma once
// ITU-T G.711 expansion of 8-bit mu-law and A-law codes to 16-bit linear samples.

#include <QtGlobal>

namespace wlpro {

// Mu-law: code 0 gives -32124, 127 gives 0, 128 gives 32124, 255 gives 0.
qint16 ULawToLinear(quint8 code);
qint16 ALawToLinear(quint8 code);

} // namespace wlpro
