// Creative voice files: a 26-byte header and a chain of typed blocks (sound, continuation,
// silence, extended information, and blocks the editor skips), ended by a zero byte. Only
// unpacked 8-bit data is understood.

#include "core/byteorder.h"
#include "core/fileio.h"
#include "core/reporter.h"
#include "core/samplebuffer.h"

#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace wlpro;

namespace {

const char kSignature[] = "Creative Voice File\x1A";
constexpr int kSignatureSize = 20;
constexpr quint32 kMaxBlockLength = 0xFFFFFF;
// The most sound a voice file may expand to: beyond it the file is refused before any allocation.
constexpr quint64 kMaxSoundBytes = quint64(1) << 30;

// Voice-file messages are the application's own boxes: its title as caption, the warning icon.
void Say(const QString& text) {
    ReportMessage(CMessage{text, QStringLiteral("Wavelathe"), CMessageIcon::Warning});
}

// What the block walk gathers; it starts afresh for each pass.
struct WalkState {
    int rateCode = -1;
    int extendedKind = 0; // 1 mono, 2 stereo once an extended block has been seen
    quint16 timeConstant = 0;
};

// One step of the walk: a run of data bytes read from the file, a run of silence, or the end.
// `cut` marks a step of a file that ends inside its last block: the walk ends there.
struct Step {
    enum Kind { Sound, Silence, End, Broken } kind = End;
    qint64 offset = 0;
    quint32 length = 0;
    bool cut = false;
};

class BlockWalker {
public:
    BlockWalker(QFile& file, qint64 start) : m_file(file), m_pos(start) {}

    Step Next(WalkState& state) {
        for (;;) {
            quint8 type = 0;
            // A file that ends without its terminator ends the walk as a terminator would.
            if (!ReadAt(m_file, m_pos, &type, 1) || type == 0)
                return Step{};
            quint8 raw[3];
            if (!ReadAt(m_file, m_pos + 1, raw, 3))
                return CutShort();
            const quint32 length = ReadLE24(raw);
            const qint64 body = m_pos + 4;
            // An interrupted recording ends inside its last block, which holds what is there.
            const quint32 present = quint32(std::min<qint64>(length, m_file.size() - body));
            const bool cut = present < length;
            m_pos = body + present;
            quint8 field[4] = {};
            switch (type) {
            case 1: {
                if (length < 2)
                    return Broken();
                if (present < 2 || !ReadAt(m_file, body, field, 2))
                    return CutShort();
                if (field[0] == 0)
                    return EndWith(QStringLiteral("Sample Rate appears to be 0"));
                if (state.rateCode >= 0 && state.rateCode != field[0])
                    return EndWith(QStringLiteral("Sample rate codes differ"));
                state.rateCode = field[0];
                if (field[1] != 0)
                    return EndWith(QStringLiteral("Can only interpret 8-bit data!"));
                return Step{Step::Sound, body + 2, present - 2, cut};
            }
            case 2:
                return Step{Step::Sound, body, present, cut};
            case 3: {
                if (length < 3)
                    return Broken();
                if (present < 3 || !ReadAt(m_file, body, field, 3))
                    return CutShort();
                quint32 silence = ReadLE16(field);
                const int code = field[2];
                if (code == 0)
                    return EndWith(QStringLiteral("Silence sample rate is zero"));
                if (state.rateCode >= 0 && state.rateCode != code)
                    silence = quint32(quint64(silence) * quint64(256 - code) /
                                      quint64(256 - state.rateCode)) &
                              0xFFFF;
                else
                    state.rateCode = code;
                return Step{Step::Silence, 0, silence, cut};
            }
            case 8:
                if (length < 4)
                    return Broken();
                if (present < 4 || !ReadAt(m_file, body, field, 4))
                    return CutShort();
                state.timeConstant = ReadLE16(field);
                if (field[2] != 0)
                    Say(QStringLiteral("Can only interpret 8-bit data (currently)!"));
                state.extendedKind = field[3] + 1;
                break;
            case 4:
            case 5:
            case 6:
            case 7:
                break;
            default:
                Say(QStringLiteral("Skipping unknown block code"));
                break;
            }
            if (cut)
                return CutShort();
        }
    }

private:
    static Step EndWith(const QString& text) {
        Say(text);
        return Step{};
    }
    // A block that claims less than its own fields.
    static Step Broken() {
        Say(QStringLiteral("Unexpected EOF in file"));
        return Step{Step::Broken};
    }
    // The file ends inside a block's head or fields: the walk ends with what came before.
    static Step CutShort() { return Step{Step::End, 0, 0, true}; }

    QFile& m_file;
    qint64 m_pos;
};

// The rate an extended block's time constant stands for, to the nearest hertz: the constant the
// writer picks for 22050 Hz stands for 22049.96 Hz, which must read back as 22050, not 22049.
quint32 ExtendedRate(quint16 timeConstant, bool stereo) {
    const double rate = 256000000.0 / (65536 - timeConstant);
    return quint32(std::lround(stereo ? rate * 0.5 : rate));
}

struct HeldRate {
    quint16 timeConstant;
    quint32 rate;
};

// The time constant whose rate comes nearest `rate`. The usual 65536 - trunc(256000000 /
// (channels x rate)) gives a rate at or just above it and the next constant one below it, so
// the nearest is one of the two; rates beyond the constant's range get its end.
HeldRate NearestHeldRate(quint32 rate, bool stereo) {
    const quint64 channels = stereo ? 2 : 1;
    const quint64 divisor =
        std::clamp<quint64>(256000000 / (channels * std::max<quint32>(rate, 1)), 1, 65536);
    const auto distance = [rate](quint32 held) { return qAbs(qint64(held) - qint64(rate)); };
    HeldRate held{quint16(65536 - divisor), ExtendedRate(quint16(65536 - divisor), stereo)};
    if (divisor < 65536) {
        const auto slower = quint16(65536 - divisor - 1);
        if (distance(ExtendedRate(slower, stereo)) < distance(held.rate))
            held = {slower, ExtendedRate(slower, stereo)};
    }
    return held;
}

// 256 - trunc(1000000 / rate), modulo 256; the reader refuses a code of 0, so a rate that would
// give it takes the nearest code there is.
quint8 RateCode(quint32 rate) {
    const quint32 divisor = 1000000 / rate;
    const auto code = quint8(256 - divisor);
    if (code != 0)
        return code;
    return divisor == 0 ? 255 : 1;
}

void AppendBlockHead(QByteArray& bytes, quint8 type, quint32 length) {
    quint8 head[4] = {type};
    WriteLE24(head + 1, length);
    bytes.append(reinterpret_cast<const char*>(head), 4);
}

} // namespace

int CSampleBuffer::ReadVoice(const QString& path) {
    if (Busy())
        return 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    char signature[kSignatureSize];
    if (!ReadExactly(file, signature, kSignatureSize)) {
        Say(QStringLiteral("Unexpected EOF in file"));
        return 0;
    }
    if (std::memcmp(signature, kSignature, kSignatureSize) != 0) {
        Say(QStringLiteral("VOC file header incorrect"));
        return 0;
    }
    quint8 raw[2];
    if (!ReadExactly(file, raw, 2)) {
        Say(QStringLiteral("Unexpected EOF in file"));
        return 0;
    }
    const qint64 start = ReadLE16(raw);

    WalkState state;
    quint64 total = 0;
    bool cut = false;
    {
        BlockWalker walker(file, start);
        Step step = walker.Next(state);
        for (; step.kind != Step::End; step = walker.Next(state)) {
            if (step.kind == Step::Broken)
                return 0;
            total += step.length;
            cut = cut || step.cut;
        }
        cut = cut || step.cut;
    }
    if (state.rateCode < 0) {
        Say(cut ? QStringLiteral("Unexpected EOF in file")
                : QStringLiteral("Input .voc file had no sound!"));
        return 0;
    }
    // Seven bytes of silence block stand for up to 65535 bytes of sound; a file made of them must
    // not make the editor ask for gigabytes.
    if (total > kMaxSoundBytes) {
        Say(QStringLiteral("This voice file would expand to %1 MB of sound, more than the %2 MB "
                           "the editor opens.")
                .arg((total + (1 << 20) - 1) >> 20)
                .arg(kMaxSoundBytes >> 20));
        return 0;
    }
    if (!AllocateData(total))
        return 0;

    state = WalkState{};
    BlockWalker walker(file, start);
    quint64 at = 0;
    for (Step step = walker.Next(state); step.kind != Step::End; step = walker.Next(state)) {
        // The file was read once already; a second walk that disagrees is a changed file.
        if (step.kind == Step::Broken || step.length > total - at) {
            FreeData();
            return 0;
        }
        if (step.kind == Step::Silence)
            std::memset(m_data + at, 128, step.length);
        else if (!ReadAt(file, step.offset, m_data + at, step.length)) {
            FreeData();
            return 0;
        }
        at += step.length;
    }

    quint32 rate = 0;
    const bool stereo = state.extendedKind == 2;
    if (state.extendedKind == 0)
        rate = quint32(1000000 / (256 - state.rateCode));
    else
        rate = ExtendedRate(state.timeConstant, stereo);
    // A cut stereo file keeps whole frames only.
    m_byteLength = quint32(cut && stereo ? at & ~quint64(1) : at);
    SetFormat(rate, stereo, false);
    if (cut)
        Say(QStringLiteral("The voice file is cut short; the sound up to its end has been "
                           "loaded."));
    return 1;
}

int CSampleBuffer::WriteVoice(const QString& path) {
    if (GetDepth() != SampleDepth::Int8) {
        Say(QStringLiteral(
            ".VOC files only support 8-bit sample data. Convert the sample to 8-bit, then save"));
        return 0;
    }
    const bool stereo = GetChannels() == 2;
    const HeldRate held = NearestHeldRate(m_format.samplesPerSec, stereo);

    QByteArray head(kSignature, kSignatureSize);
    quint8 fields[6];
    WriteLE16(fields, 26);
    WriteLE16(fields + 2, 0x010A);
    WriteLE16(fields + 4, 0x1129);
    head.append(reinterpret_cast<const char*>(fields), 6);
    AppendBlockHead(head, 8, 4);
    quint8 extended[4];
    WriteLE16(extended, held.timeConstant);
    extended[2] = 0;
    extended[3] = stereo ? 1 : 0;
    head.append(reinterpret_cast<const char*>(extended), 4);

    // Data beyond the first block's 24-bit length goes into continuation blocks.
    const quint32 firstLength = quint32(std::min<quint64>(m_byteLength, kMaxBlockLength - 2));
    AppendBlockHead(head, 1, firstLength + 2);
    head.append(char(RateCode(held.rate)));
    head.append('\0');

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return 0;
    if (!WriteAll(file, head.constData(), head.size()) || !WriteAll(file, m_data, firstLength))
        return 0;
    for (quint64 at = firstLength; at < m_byteLength;) {
        const quint32 length = quint32(std::min<quint64>(m_byteLength - at, kMaxBlockLength));
        QByteArray continuation;
        AppendBlockHead(continuation, 2, length);
        if (!WriteAll(file, continuation.constData(), 4) || !WriteAll(file, m_data + at, length))
            return 0;
        at += length;
    }
    const char terminator[4] = {};
    if (!WriteAll(file, terminator, 4) || !file.commit())
        return 0;
    if (held.rate != m_format.samplesPerSec)
        Say(QStringLiteral("A voice file cannot hold %1 Hz; the sample has been saved at %2 Hz, "
                           "the nearest rate it can hold.")
                .arg(m_format.samplesPerSec)
                .arg(held.rate));
    return 1;
}
