// Loads a wave file with the installed library, prints what it holds, and saves it as Sun/NeXT.
// Usage: consumer in.wav out.au

#include <wlpro/core/samplebuffer.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3)
        return 2;
    const QString in = QString::fromLocal8Bit(argv[1]);
    const QString out = QString::fromLocal8Bit(argv[2]);
    CSampleBuffer b;
    if (!b.LoadFile(in, FileKind(1)))
        return 1;
    unsigned char slot[4] = {};
    b.ReadFrame(1, SampleLayout(9), slot);
    const quint8* data = b.GetData();
    std::printf("frames=%u rate=%u bits=%u channels=%u layout=%u slot=%u,%u data=%u\n",
                b.GetFrameCount(), b.GetRate(), b.GetBits(), b.GetChannels(), unsigned(b.GetLayout()),
                slot[0], slot[2], data ? 1u : 0u);
    return b.SaveFile(out, FileKind(2)) ? 0 : 1;
}
