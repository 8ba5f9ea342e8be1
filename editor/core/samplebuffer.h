#pragma once
// CSampleBuffer: one digitised sound sample of the editor, its format and its information texts,
// with the codecs that read and write it and the edits that change it. Playing and recording it
// is CSampleAudio's (core/sampleaudio.h).
//
// Units: a frame is one sampling instant (one sample per channel). Frame positions are unsigned
// 32-bit; ranges are first and last frame, both inclusive, with -1/-1 meaning the whole sample.
// 8-bit samples are unsigned bytes with 128 as the zero line; 16-bit samples are signed
// little-endian words; stereo frames are interleaved, left first.
//
// Invariants kept by every operation:
//  - frame count == byte length / BytesPerFrame() (integer division);
//  - GetData() is non-null exactly while the buffer has a data block (or borrows clipboard data);
//  - the layout agrees with the current format's channels and bits.
//
// While the sample plays or records, a device reads or fills the data in place and the buffer is
// locked (Busy). Every operation that writes, resizes or replaces the data then refuses: it
// returns 0 and changes nothing.
// A buffer that borrows clipboard data (after ReadClipboard) takes its own copy before any write.
//
// Channel selector of the range operations: 0 all channels (or the only one), 1 left only,
// 2 right only; 1 and 2 are used on stereo samples only.

#include "core/memoryblock.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>

class QObject;

// Bit 1: 8-bit samples, bit 2: 16-bit, bit 4: mono, bit 8: stereo, bit 16: 24-bit, bit 32:
// 32-bit float. Stored on the clipboard, so the numbers never change.
enum class SampleLayout : quint32 {
    Mono8 = 5,
    Mono16 = 6,
    Stereo8 = 9,
    Stereo16 = 10,
    Mono24 = 20,
    Stereo24 = 24,
    MonoFloat = 36,
    StereoFloat = 40
};

// The four sample formats: 8-bit unsigned (128 is the zero line), 16- and 24-bit signed
// little-endian integers (24-bit packed in three bytes), and 32-bit IEEE float little-endian,
// full scale at +-1.0 and values beyond it kept.
enum class SampleDepth : quint8 { Int8, Int16, Int24, Float32 };

constexpr SampleDepth LayoutDepth(SampleLayout layout) {
    const quint32 bits = quint32(layout);
    return (bits & 1)    ? SampleDepth::Int8
           : (bits & 2)  ? SampleDepth::Int16
           : (bits & 16) ? SampleDepth::Int24
                         : SampleDepth::Float32;
}
constexpr bool LayoutIs16Bit(SampleLayout layout) {
    return (quint32(layout) & 2) != 0;
}
// 8- or 16-bit: the formats whose arithmetic the effects have always had.
constexpr bool LayoutIsClassic(SampleLayout layout) {
    return (quint32(layout) & 3) != 0;
}
constexpr bool LayoutIsStereo(SampleLayout layout) {
    return (quint32(layout) & 4) == 0;
}
constexpr quint32 DepthBytes(SampleDepth depth) {
    return quint32(depth) + 1;
}
// 8, 16, 24 or 32: the bits per sample of the wave format record.
constexpr quint32 DepthBits(SampleDepth depth) {
    return DepthBytes(depth) * 8;
}
constexpr quint32 LayoutBytesPerSample(SampleLayout layout) {
    return DepthBytes(LayoutDepth(layout));
}
constexpr quint32 LayoutChannels(SampleLayout layout) {
    return LayoutIsStereo(layout) ? 2 : 1;
}
constexpr quint32 LayoutBytesPerFrame(SampleLayout layout) {
    return LayoutBytesPerSample(layout) * LayoutChannels(layout);
}
constexpr SampleLayout MakeLayout(bool stereo, SampleDepth depth) {
    constexpr quint32 depthBits[] = {1, 2, 16, 32};
    return SampleLayout((stereo ? 8u : 4u) | depthBits[quint32(depth)]);
}
constexpr SampleLayout MakeLayout(bool stereo, bool sixteenBit) {
    return MakeLayout(stereo, sixteenBit ? SampleDepth::Int16 : SampleDepth::Int8);
}
// The depth a format record's bits per sample describe: 8 is 8-bit, 24 is 24-bit integer, 32 is
// float (a 32-bit integer file is read as float), anything else 16-bit.
constexpr SampleDepth DepthForBits(quint32 bits) {
    return bits == 32   ? SampleDepth::Float32
           : bits == 24 ? SampleDepth::Int24
           : bits == 8  ? SampleDepth::Int8
                        : SampleDepth::Int16;
}

// How ApplyFormat changes the sampling rate: band-limited (libsoxr at very high quality) or by
// the linear interpolation of Resample, faster but with audible aliases and images.
enum class RateConversion : quint8 { BandLimited, Linear };

// 0 to 3 are fixed by the document's file dialogs and read by the editor's own readers; 4 and up
// are read and written through libsndfile. Any other value saves as raw data.
enum class FileKind : int {
    Raw = 0,
    Wave = 1,
    SunAudio = 2,
    Voice = 3,
    Flac = 4,
    Aiff = 5,
    OggVorbis = 6,
    Opus = 7,
    Caf = 8,
    Wave64 = 9,
    Rf64 = 10
};

// The document's rule: the upper-cased path ending in ".AU" or ".SND" is Sun/NeXT, ".VOC" a voice
// file, ".WAV" a wave file; ".FLAC", ".AIF"/".AIFF"/".AIFC", ".OGG"/".OGA", ".OPUS", ".CAF", ".W64"
// and ".RF64" are the libsndfile kinds; anything else is raw data.
FileKind FileKindForPath(const QString& path);
// The kind the first bytes of a file show (at least 64 of them, fewer for a shorter file):
// RIFF/RIFX with WAVE a wave file, RF64/BW64 with WAVE an RF64 one, FORM with AIFF/AIFC, ".snd" in
// either byte order, "Creative Voice File", "fLaC", "OggS" (Opus when its first packet is
// "OpusHead", Vorbis otherwise), "caff" and the Wave64 GUID; `otherwise` for anything else.
FileKind FileKindForContent(const QByteArray& head, FileKind otherwise);
// The kind of the file at `path` by its content; by its ending when the content is none of the
// known ones (raw data) or the file cannot be read.
FileKind FileKindFor(const QString& path);
// Whether a file of `kind` keeps samples of `depth` as they are: voice files hold 8 bits, raw
// data 8 or 16, FLAC up to 24; Ogg Vorbis and Opus are lossy whatever the depth, and count as
// holding all.
bool KindHoldsDepth(FileKind kind, SampleDepth depth);

// What LoadFile found in the file beyond the sample it made of it.
struct CFileOrigin {
    // 0 when nothing was loaded; more than 2: the file's channels were mixed down to stereo.
    quint32 channels = 0;
    // 32-bit integer samples, held as float (24 bits of precision).
    bool integerAsFloat = false;
};

// The wave format record; it doubles as the body of a wave file's "fmt " chunk.
struct CWaveFormat {
    quint16 formatTag = 1;
    quint16 channels = 1;
    quint32 samplesPerSec = 22050;
    quint32 avgBytesPerSec = 22050;
    quint16 blockAlign = 1;
    quint16 bitsPerSample = 8;
    quint16 extraSize = 0;

    friend bool operator==(const CWaveFormat& a, const CWaveFormat& b) {
        return a.formatTag == b.formatTag && a.channels == b.channels &&
               a.samplesPerSec == b.samplesPerSec && a.avgBytesPerSec == b.avgBytesPerSec &&
               a.blockAlign == b.blockAlign && a.bitsPerSample == b.bitsPerSample &&
               a.extraSize == b.extraSize;
    }
    friend bool operator!=(const CWaveFormat& a, const CWaveFormat& b) { return !(a == b); }
};

// Indices of the information texts; the wave file keeps them as IART, ICMT, ICOP, ICRD, INAM, ISFT.
enum InfoText : int {
    InfoArtist = 0,
    InfoComments = 1,
    InfoCopyright = 2,
    InfoCreationDate = 3,
    InfoName = 4,
    InfoSoftware = 5,
    InfoTextCount = 6
};

class CPeakSummary;

class CSampleBuffer {
public:
    CSampleBuffer();
    ~CSampleBuffer();
    CSampleBuffer(const CSampleBuffer&) = delete;
    CSampleBuffer& operator=(const CSampleBuffer&) = delete;

    // --- Format and size --------------------------------------------------------------------
    quint32 GetFrameCount() const { return m_frameCount; }
    quint32 GetByteLength() const { return m_byteLength; }
    quint32 GetRate() const { return m_format.samplesPerSec; }
    quint32 GetBits() const { return m_format.bitsPerSample; }
    quint32 GetChannels() const { return LayoutChannels(m_layout); }
    quint32 BytesPerFrame() const { return LayoutBytesPerFrame(m_layout); }
    quint32 BytesPerSample() const { return LayoutBytesPerSample(m_layout); }
    SampleLayout GetLayout() const { return m_layout; }
    const CWaveFormat& GetFormat() const { return m_format; }
    const CWaveFormat& GetCommittedFormat() const { return m_committed; }

    // Information texts by index 0 to 5 (InfoText); other indices read empty and write nothing.
    QString GetInfo(int index) const;
    void SetInfo(int index, const QString& text);

    // The data bytes; null while the sample is empty.
    quint8* GetData() { return m_data; }
    const quint8* GetData() const { return m_data; }
    bool HasData() const { return m_data != nullptr; }

    // Reinterprets the existing bytes in a new format; returns the block align.
    int SetFormat(quint32 rate, bool stereo, SampleDepth depth);
    int SetFormat(quint32 rate, bool stereo, bool sixteenBit);
    SampleDepth GetDepth() const { return LayoutDepth(m_layout); }
    void CommitFormat();
    void RevertFormat(quint32& rate, bool& stereo, bool& sixteenBit);

    // Converts one frame to `target` into a slot: for 8- and 16-bit targets 4 bytes, bytes 0-1
    // the left (or only) channel and bytes 2-3 the right; for 24-bit and float targets 8 bytes,
    // bytes 0-3 left and 4-7 right. A value sits in the first bytes of its half. Frames at or
    // past the frame count leave the slot untouched.
    void ReadFrame(quint32 frame, SampleLayout target, void* slot) const;

    // --- Range operations -------------------------------------------------------------------
    // 1 done; 0 refused (busy, or memory short) with the sample unchanged.
    int InsertFrames(quint32 at, quint32 count, int channel);
    int DeleteFrames(qint64 first, qint64 last, int channel);
    // Refused while this sample plays or records.
    int CopyFrom(const CSampleBuffer& other);

    // --- Files ------------------------------------------------------------------------------
    // 1 on success, 0 on failure. A failed reader is followed by a raw read of the whole file.
    // The readers refuse while busy, as they replace the data. With `summary` the peak summary
    // of what was loaded is built as the data arrives (see CPeakSummary::Feed).
    int LoadFile(const QString& path, FileKind kind, CPeakSummary* summary = nullptr);
    // What the last LoadFile found in its file.
    const CFileOrigin& GetFileOrigin() const { return m_fileOrigin; }
    int SaveFile(const QString& path, FileKind kind);

    int ReadWave(const QString& path);
    int WriteWave(const QString& path);
    int ReadVoice(const QString& path);
    int WriteVoice(const QString& path);
    int ReadSunAudio(const QString& path);
    int WriteSunAudio(const QString& path);
    // `length` 0 reads up to the end of the file.
    int ReadRaw(const QString& path, quint64 offset, quint64 length);
    int WriteRaw(const QString& path);
    // The formats of libsndfile. Reading finds the format from the file's contents and keeps its
    // precision: 8-, 16- and 24-bit sources stay so, float and double become float, 32-bit
    // integers float too; G.711, ADPCM and lossy codes become 16-bit. Mono stays mono, two
    // channels are stereo, more are mixed down to stereo (each side the weighted mean of its own
    // channels at full and the centre ones at half weight, LFE left out).
    // Title, artist, comment, copyright, date and software tags become the information texts.
    // Writing uses the format of `kind` at the sample's depth (FLAC, which has no float, at 24
    // bits; Ogg Vorbis and Opus from float): FLAC at libsndfile's default level, Ogg Vorbis at
    // quality 0.6, Opus at its defaults (at 48 kHz unless the rate is one Opus holds: the data
    // written is resampled, the sample is not).
    int ReadSoundFile(const QString& path);
    int WriteSoundFile(const QString& path, FileKind kind);

    // --- Device lock ------------------------------------------------------------------------
    // Who uses the data in place besides the buffer: a device that reads it (playback) or one
    // that fills it (recording; the bytes are then no sample yet). Only CSampleAudio locks.
    enum class CDataLock : quint8 { None, Read, Fill };
    CDataLock GetDataLock() const { return m_lock; }
    // While locked, every operation that writes, resizes or replaces the data refuses.
    bool Busy() const { return m_lock != CDataLock::None; }

    // --- Conversion -------------------------------------------------------------------------
    // 1 on success; 0 when busy, when the block cannot be resized ("Error resizing sample!") or
    // a rate is 0, and the sample is then unchanged.
    // Resample always interpolates linearly; ApplyFormat converts the rate as
    // SetRateConversion says.
    int Resample(quint32 oldRate, quint32 newRate);
    int ConvertLayout(SampleLayout source, SampleLayout target);
    int ApplyFormat();
    // Band-limited unless set otherwise.
    void SetRateConversion(RateConversion conversion) { m_rateConversion = conversion; }
    RateConversion GetRateConversion() const { return m_rateConversion; }
    // With dither on, ConvertLayout and ApplyFormat add TPDF dither of one target step where
    // samples become 8- or 16-bit ones of fewer bits (16 to 8, 24 or float to 16 or 8), and
    // round instead of keeping the high bits. Off unless set.
    void SetDither(bool on) { m_dither = on; }
    bool GetDither() const { return m_dither; }

    // --- Effects ----------------------------------------------------------------------------
    // Each returns 1 when it changed the sample; 0 when it was refused (busy) or had nothing to do.
    int Amplify(float gain, qint64 first, qint64 last, int channel);
    float NormaliseFactor(qint64 first, qint64 last, int channel) const;
    int DCBiasAdjust(float bias, int channel);
    int ScaleFrame(float gain, quint32 frame, int channel);
    int PanFrame(float position, quint32 frame);
    // ScaleFrame and PanFrame over a straight run of a curve: frame + i of the `frames` frames
    // from `frame` on takes the gain or position base + step x (k0 + i). Same results as the
    // per-frame calls, several frames at a time.
    int ScaleRamp(quint32 frame, quint64 frames, int channel, double base, double step, double k0);
    int PanRamp(quint32 frame, quint64 frames, double base, double step, double k0);
    int Reverse(qint64 first, qint64 last, int channel);
    // Flips the top bit of every byte of the range on integer samples, whatever the bit depth;
    // negates float samples.
    int ChangeSign(qint64 first, qint64 last);
    quint32 PeakSearch(qint64 first, qint64 last, int channel) const;
    // Expands every byte as a G.711 mu-law code to a 16-bit sample, in place; 0 (and the sample
    // unchanged) when busy or when the block cannot grow.
    int DecodeULaw();

    // --- Clipboard --------------------------------------------------------------------------
    int CopyToClipboard(QObject* window, qint64 first, qint64 last, int channel);
    int CutToClipboard(QObject* window, qint64 first, qint64 last, int channel);
    // Takes the clip as this buffer's data, left in the clipboard's block until ReleaseClipboard
    // or a write, which first copies it into a block of the buffer's own.
    int ReadClipboard(QObject* window);
    // Drops borrowed clipboard data; an owned sample stays as it is.
    void ReleaseClipboard();
    // A clip pasted at or past the frame count goes to the start of the sample.
    quint32 PasteFromClipboard(QObject* window, quint32 at, int channel);
    // As PasteFromClipboard, but a clip at or past the frame count goes to the end: what a paste
    // over a selection that reached the end of the sample needs.
    quint32 InsertClipboard(QObject* window, quint32 at, int channel);

private:
    // The undo history swaps data blocks and format records in and out as a whole.
    friend class CUndoHistory;
    // The audio engine locks the data, and a recording replaces it by the block it fills.
    friend class CSampleAudio;

    // Every operation that writes or resizes the data in place asks first: false while busy, or
    // when borrowed clipboard data cannot be copied into a block of the buffer's own.
    bool BeginWrite();
    // Replaces the data by a new block of `bytes`; reports "Error - Out of Memory!" on failure
    // and leaves the buffer without data.
    bool AllocateData(quint64 bytes);
    // Keeps the data and the sizes as they were on failure. Only after BeginWrite.
    bool ResizeData(quint64 bytes);
    void FreeData();
    // Sets the byte length and the frame count that follows from it and the layout.
    void SetByteLength(quint32 bytes);
    // The layout that the current format's bits and channels describe.
    void LayoutFromFormat();
    // Resolves -1/-1 to the whole sample and clamps the range to the frames there are; false for
    // an empty sample or a range that holds no frame.
    bool ResolveRange(qint64& first, qint64& last) const;

    std::array<QString, InfoTextCount> m_info;
    quint32 m_frameCount = 0;
    quint32 m_byteLength = 0;
    CMemoryBlock m_memory;
    SampleLayout m_layout = SampleLayout::Mono8;
    quint8* m_data = nullptr;
    CWaveFormat m_format;
    CWaveFormat m_committed;
    CDataLock m_lock = CDataLock::None;
    RateConversion m_rateConversion = RateConversion::BandLimited;
    bool m_dither = false;
    // The summary LoadFile feeds while the wave reader fills the data; null outside LoadFile.
    CPeakSummary* m_loadSummary = nullptr;
    CFileOrigin m_fileOrigin;
    // The clipboard data m_data points into between ReadClipboard and ReleaseClipboard.
    QByteArray m_clipboardBlock;
};
