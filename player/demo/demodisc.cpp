// korvo_demodisc: writes a CUE/BIN disc image of synthesised music with CD-TEXT titles.
// The build makes the demo disc with it, so a machine without a CD drive still has a real disc
// to play; the tests make small images with it (a few seconds per track, optionally a data track).
//
//   korvo_demodisc OUT               the demo disc: OUT.cue and OUT.bin
//   korvo_demodisc OUT 3 4.5 2.2     one track per length in seconds
//   korvo_demodisc OUT 3 4 --data 2  ... with track 2 a data track

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr int kFramesPerSector = 588;
constexpr int kBytesPerSector = 2352;
constexpr int kSectorsPerSecond = 75;
constexpr double kPi = 3.14159265358979323846;

// A stereo mix in floating point; notes are added into it and it is scaled once at the end.
class TMix {
public:
    explicit TMix(int frames) : FLeft(frames), FRight(frames) {}

    int Frames() const { return static_cast<int>(FLeft.size()); }

    // pan 0 is left, 1 right, with constant power between.
    void Add(int first, const std::vector<double>& wave, double pan) {
        const double left = std::cos(pan * kPi / 2), right = std::sin(pan * kPi / 2);
        const int end = std::min(Frames(), first + static_cast<int>(wave.size()));
        for (int i = std::max(first, 0); i < end; ++i) {
            FLeft[i] += wave[size_t(i - first)] * left;
            FRight[i] += wave[size_t(i - first)] * right;
        }
    }

    // Scales to a peak of -3 dBFS so nothing clips, with soft fades at both ends.
    std::vector<int16_t> Render() const {
        double peak = 1e-9;
        for (int i = 0; i < Frames(); ++i)
            peak = std::max({peak, std::fabs(FLeft[i]), std::fabs(FRight[i])});
        const double scale = 0.707 * 32767.0 / peak;
        const int fade = std::min(Frames() / 4, kRate / 2);
        std::vector<int16_t> out(2 * size_t(Frames()));
        for (int i = 0; i < Frames(); ++i) {
            double gain = scale;
            if (i < fade)
                gain *= double(i) / fade;
            if (Frames() - i < fade)
                gain *= double(Frames() - i) / fade;
            out[2 * i] = static_cast<int16_t>(std::lround(FLeft[i] * gain));
            out[2 * i + 1] = static_cast<int16_t>(std::lround(FRight[i] * gain));
        }
        return out;
    }

private:
    std::vector<double> FLeft, FRight;
};

enum class TVoice { Pluck, Bell, Pad, Bass };

double Frequency(int midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69) / 12.0);
}

struct TPartial {
    double ratio; // of the note's frequency
    double amp;
    double decay; // per second; 0 holds
};

// The partials of each voice: plucked strings fade fast with duller overtones, bells ring with
// inharmonic partials, pads hold slightly detuned unisons, the bass is a round short tone.
std::vector<TPartial> Partials(TVoice voice) {
    switch (voice) {
    case TVoice::Pluck:
        return {{1, 1, 4.3}, {2, 0.25, 6.1}, {3, 0.11, 7.9}, {4, 0.06, 9.7}, {5, 0.04, 11.5}};
    case TVoice::Bell:
        return {{1, 1, 1.6}, {2.76, 0.4, 3.0}, {5.4, 0.2, 5.0}, {8.93, 0.1, 8.0}};
    case TVoice::Pad:
        return {{0.998, 0.4, 0}, {1.003, 0.4, 0}, {2.001, 0.12, 0}};
    case TVoice::Bass:
        return {{1, 1, 2.2}, {2, 0.25, 2.2}};
    }
    return {};
}

// Adds one note; each partial is a damped rotating phasor, so a sample costs a few
// multiplications rather than calls to sin and exp.
void AddNote(TMix& mix, double start, double length, int midiNote, TVoice voice, double gain,
             double pan) {
    const double f = Frequency(midiNote);
    const int first = static_cast<int>(start * kRate);
    const double tail = voice == TVoice::Bell ? 2.5 : voice == TVoice::Pad ? 0.8 : 0.6;
    const int frames = static_cast<int>((length + tail) * kRate);
    const int held = static_cast<int>(length * kRate);
    const int attack = static_cast<int>((voice == TVoice::Pad ? 0.8 : 0.003) * kRate);
    const double releaseStep = std::exp(-6.0 / kRate);
    std::vector<double> wave(size_t(frames), 0.0);
    for (const TPartial& p : Partials(voice)) {
        const double w = 2 * kPi * f * p.ratio / kRate;
        if (w >= kPi)
            continue; // above the Nyquist frequency
        const double r = std::exp(-p.decay / kRate);
        const double stepRe = r * std::cos(w), stepIm = r * std::sin(w);
        double re = p.amp, im = 0;
        for (int i = 0; i < frames; ++i) {
            wave[size_t(i)] += im;
            const double nextRe = re * stepRe - im * stepIm;
            im = re * stepIm + im * stepRe;
            re = nextRe;
        }
    }
    double release = 1.0;
    for (int i = 0; i < frames; ++i) {
        if (i > held)
            release *= releaseStep;
        const double rise = i < attack ? double(i) / attack : 1.0;
        wave[size_t(i)] *= rise * release * gain;
    }
    mix.Add(first, wave, pan);
}

struct TPiece {
    const char* title;
    double seconds;
    double bpm;
    int key;                      // MIDI note of the tonic
    std::vector<int> progression; // scale degrees, one chord per bar
    TVoice lead;
};

// Triad on a degree of the major scale, as semitones above the tonic.
std::vector<int> Chord(int degree) {
    static const int scale[] = {0, 2, 4, 5, 7, 9, 11};
    std::vector<int> notes;
    for (int step : {0, 2, 4}) {
        const int d = degree - 1 + step;
        notes.push_back(scale[d % 7] + 12 * (d / 7));
    }
    return notes;
}

// Bars of the progression: a pad holding the chord, a bass on the root, the lead arpeggiating,
// and a bell on the chord change every other bar.
void Compose(TMix& mix, const TPiece& piece) {
    const double beat = 60.0 / piece.bpm;
    const double bar = 4 * beat;
    const double total = double(mix.Frames()) / kRate;
    static const int arpeggio[] = {0, 1, 2, 1, 0, 2, 1, 2};
    for (int b = 0; b * bar < total - 1.0; ++b) {
        const auto chord = Chord(piece.progression[b % piece.progression.size()]);
        const double t0 = b * bar;
        for (int n : chord)
            AddNote(mix, t0, bar * 0.95, piece.key - 12 + n, TVoice::Pad, 0.12, 0.5);
        AddNote(mix, t0, beat * 1.5, piece.key - 24 + chord[0], TVoice::Bass, 0.5, 0.45);
        AddNote(mix, t0 + 2 * beat, beat, piece.key - 24 + chord[0], TVoice::Bass, 0.35, 0.45);
        for (int i = 0; i < 8; ++i) {
            const int note = piece.key + chord[arpeggio[i]] + (i == 4 ? 12 : 0);
            AddNote(mix, t0 + i * beat / 2, beat / 2, note, piece.lead, 0.35, 0.3 + 0.4 * (i % 2));
        }
        if (b % 2 == 0)
            AddNote(mix, t0, bar, piece.key + 12 + chord[2], TVoice::Bell, 0.18, 0.7);
    }
}

const TPiece kDemoPieces[] = {
    {"Morning Arpeggios", 22.0, 96, 64, {1, 5, 6, 4}, TVoice::Pluck},
    {"Glass Bells", 17.0, 72, 69, {1, 4, 2, 5}, TVoice::Bell},
    {"Slow Tide", 24.0, 60, 62, {1, 6, 4, 5}, TVoice::Pluck},
    {"Clockwork Garden", 14.0, 120, 67, {1, 4, 5, 1}, TVoice::Pluck},
    {"Evening Lanterns", 20.0, 84, 65, {6, 4, 1, 5}, TVoice::Bell},
};

std::string Msf(long sector) {
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", sector / (60 * kSectorsPerSecond),
                  (sector / kSectorsPerSecond) % 60, sector % kSectorsPerSecond);
    return text;
}

std::string BaseName(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes to a temporary file beside the target and renames it over, so a failed run never
// leaves half an image.
bool WriteFile(const std::string& path, const char* data, size_t size) {
    const std::string temporary = path + ".part";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(data, static_cast<std::streamsize>(size));
        if (!out.flush())
            return false;
    }
    return std::rename(temporary.c_str(), path.c_str()) == 0;
}

int Usage() {
    std::fprintf(stderr, "usage: korvo_demodisc OUT [SECONDS...] [--data TRACK]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return Usage();
    const std::string out = argv[1];
    std::vector<TPiece> pieces;
    int dataTrack = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--data" && i + 1 < argc) {
            dataTrack = std::atoi(argv[++i]);
            continue;
        }
        const double seconds = std::atof(arg.c_str());
        if (seconds <= 0 || seconds > 600)
            return Usage();
        TPiece piece = kDemoPieces[pieces.size() % std::size(kDemoPieces)];
        piece.seconds = seconds;
        pieces.push_back(piece);
    }
    if (pieces.empty())
        pieces.assign(std::begin(kDemoPieces), std::end(kDemoPieces));
    if (pieces.size() > 99 || dataTrack < 0 || dataTrack > int(pieces.size()))
        return Usage();

    std::string cue = "REM GENERATOR \"korvo_demodisc\"\n"
                      "PERFORMER \"Korvo Demo Ensemble\"\n"
                      "TITLE \"Korvo Demo Disc\"\n"
                      "FILE \"" +
                      BaseName(out) + ".bin\" BINARY\n";
    std::vector<char> bin;
    for (size_t t = 0; t < pieces.size(); ++t) {
        const long sectors = std::lround(pieces[t].seconds * kSectorsPerSecond);
        const long first = static_cast<long>(bin.size() / kBytesPerSector);
        char header[64];
        const bool data = int(t) + 1 == dataTrack;
        std::snprintf(header, sizeof header, "  TRACK %02d %s\n", int(t) + 1,
                      data ? "MODE1/2352" : "AUDIO");
        cue += header;
        cue += std::string("    TITLE \"") + (data ? "Data" : pieces[t].title) + "\"\n";
        cue += "    PERFORMER \"Korvo Demo Ensemble\"\n";
        cue += "    INDEX 01 " + Msf(first) + "\n";
        if (data) {
            bin.resize(bin.size() + size_t(sectors) * kBytesPerSector, '\0');
            continue;
        }
        TMix mix(static_cast<int>(sectors * kFramesPerSector));
        Compose(mix, pieces[t]);
        const auto samples = mix.Render();
        for (int16_t s : samples) { // CD audio is little-endian
            bin.push_back(static_cast<char>(s & 0xff));
            bin.push_back(static_cast<char>((s >> 8) & 0xff));
        }
    }
    if (!WriteFile(out + ".bin", bin.data(), bin.size()) ||
        !WriteFile(out + ".cue", cue.data(), cue.size())) {
        std::fprintf(stderr, "korvo_demodisc: cannot write %s.cue/.bin\n", out.c_str());
        return 1;
    }
    return 0;
}
