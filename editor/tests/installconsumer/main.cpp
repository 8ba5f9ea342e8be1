// Loads a wave file with the installed library, prints what it holds, and saves it as Sun/NeXT and
// as FLAC. It includes every public header and defines helpers under the names the library uses
// inside, as any program might: the library's own must not clash with them.
// Usage: consumer in.wav out.au out.flac

#include <wlpro/core/clipboardaccess.h>
#include <wlpro/core/memoryblock.h>
#include <wlpro/core/peaksummary.h>
#include <wlpro/core/reporter.h>
#include <wlpro/core/sampleaudio.h>
#include <wlpro/core/samplebuffer.h>
#include <wlpro/core/sampleclip.h>
#include <wlpro/core/sampleeditor.h>
#include <wlpro/core/undohistory.h>
#include <wlpro/core/volumescale.h>
#include <wlpro/core/wavedevice.h>
#include <wlpro/core/wlprodoc.h>

#include <QFile>

#include <cstdio>

bool ReadAt(QFile& file, qint64 offset, void* to, qint64 size) {
    return file.seek(offset) && file.read(static_cast<char*>(to), size) == size;
}
bool ReadExactly(QFile& file, void* to, qint64 size) {
    return file.read(static_cast<char*>(to), size) == size;
}
bool WriteAll(QIODevice& file, const void* from, qint64 size) {
    return file.write(static_cast<const char*>(from), size) == size;
}
qint16 ULawToLinear(quint8 code) {
    return qint16(code);
}
qint16 ALawToLinear(quint8 code) {
    return qint16(-code);
}
QString DecodeText(const QByteArray& bytes) {
    return QString::fromLatin1(bytes);
}

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    CSampleBuffer b;
    if (!b.LoadFile(QString::fromLocal8Bit(argv[1]), FileKind::Wave))
        return 1;
    unsigned char slot[4] = {};
    b.ReadFrame(1, SampleLayout(9), slot);
    const quint8* data = b.GetData();
    std::printf("frames=%u rate=%u bits=%u channels=%u layout=%u slot=%u,%u data=%u\n",
                b.GetFrameCount(), b.GetRate(), b.GetBits(), b.GetChannels(),
                unsigned(b.GetLayout()), slot[0], slot[2], data ? 1u : 0u);
    CSampleEditor editor(b);
    editor.Reverse(-1, -1, 0);
    editor.Undo();
    return b.SaveFile(QString::fromLocal8Bit(argv[2]), FileKind::SunAudio) &&
                   b.SaveFile(QString::fromLocal8Bit(argv[3]), FileKind::Flac)
               ? 0
               : 1;
}
