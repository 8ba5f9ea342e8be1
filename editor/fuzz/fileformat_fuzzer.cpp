// libFuzzer entry: the first byte picks the file kind (libsndfile's kinds too), the rest is the
// file. Every input must load (the raw fallback reads whatever the readers refuse) with a
// consistent sample.

#include "core/reporter.h"
#include "core/samplebuffer.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

// libsndfile 1.2.0 leaks libvorbis's stream information when it gives up on a damaged Ogg
// Vorbis file; the leak is theirs, and must not stop the search for ours.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:vorbis_info_init\n";
}

namespace {

// The readers' messages are expected; keeping them off standard error keeps the fuzzer fast.
class CSilentReporter : public CReporter {
public:
    void Show(const CMessage&) override {}
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static CSilentReporter silent;
    static QTemporaryDir dir(QStringLiteral("/dev/shm/wlpro-fuzz-XXXXXX"));
    CReporter::Install(&silent);
    if (size == 0)
        return 0;
    const QString path = dir.filePath(QStringLiteral("input"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        file.write(reinterpret_cast<const char*>(data + 1), qint64(size - 1));
    }
    CSampleBuffer buffer;
    if (!buffer.LoadFile(path, FileKind(data[0] % (int(FileKind::Rf64) + 1))) ||
        buffer.GetFrameCount() != buffer.GetByteLength() / buffer.BytesPerFrame())
        std::abort();
    return 0;
}
