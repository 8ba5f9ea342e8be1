#pragma once
// The volume devices over the ALSA simple mixer: every playback volume control of the mixers
// named at construction is one device. On a desktop the "default" (or "pulse") mixer is the sound
// server's, whose "Master" is its output volume. A 16-bit level maps linearly onto the control's
// own range, so 65535 is the control's maximum whatever its scale.

#include "core/auxoutput.h"

#include <QStringList>

#include <memory>
#include <vector>

typedef struct _snd_mixer_elem snd_mixer_elem_t;

class TAlsaMixer : public TAuxOutput {
public:
    // Mixer devices to look at, in order. The defaults: the "default" mixer, then every sound
    // card's hardware mixer ("hw:0", ...).
    explicit TAlsaMixer(const QStringList& mixerNames = DefaultMixerNames());
    ~TAlsaMixer() override;

    static QStringList DefaultMixerNames();

    int DeviceCount() const override;
    bool DeviceName(int device, QString& name) const override;
    bool GetVolume(int device, quint32& volume) override;
    bool SetVolume(int device, quint32 volume) override;

    // A level 0..65535 onto [min, max] and back, rounded to the nearest step.
    static long LevelToRaw(quint16 level, long min, long max);
    static quint16 RawToLevel(long raw, long min, long max);

private:
    struct TMixer;
    struct TControl;
    // The device's current playback element with its volume range, or null.
    snd_mixer_elem_t* PlaybackElement(int device, long& min, long& max);
    std::vector<std::unique_ptr<TMixer>> FMixers;
    std::vector<TControl> FControls;
};
