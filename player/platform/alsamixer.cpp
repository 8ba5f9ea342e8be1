#include "platform/alsamixer.h"

#include <alsa/asoundlib.h>

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcMixer, "korvo.mixer")

struct TAlsaMixer::TMixer {
    QString name;
    std::unique_ptr<snd_mixer_t, int (*)(snd_mixer_t*)> handle{nullptr, snd_mixer_close};
};

struct TAlsaMixer::TControl {
    TMixer* mixer;
    QString element;
    unsigned index;
};

namespace {

snd_mixer_elem_t* FindElement(snd_mixer_t* mixer, const QString& name, unsigned index) {
    snd_mixer_selem_id_t* id = nullptr;
    snd_mixer_selem_id_alloca(&id);
    snd_mixer_selem_id_set_name(id, name.toUtf8().constData());
    snd_mixer_selem_id_set_index(id, index);
    return snd_mixer_find_selem(mixer, id);
}

} // namespace

QStringList TAlsaMixer::DefaultMixerNames() {
    QStringList names{QStringLiteral("default")};
    int card = -1;
    while (snd_card_next(&card) == 0 && card >= 0)
        names << QStringLiteral("hw:%1").arg(card);
    return names;
}

TAlsaMixer::TAlsaMixer(const QStringList& mixerNames) {
    for (const QString& name : mixerNames) {
        snd_mixer_t* raw = nullptr;
        if (snd_mixer_open(&raw, 0) < 0)
            continue;
        auto mixer = std::make_unique<TMixer>();
        mixer->name = name;
        mixer->handle.reset(raw);
        if (snd_mixer_attach(raw, name.toUtf8().constData()) < 0 ||
            snd_mixer_selem_register(raw, nullptr, nullptr) < 0 || snd_mixer_load(raw) < 0) {
            qCInfo(lcMixer) << "no mixer at" << name;
            continue;
        }
        for (snd_mixer_elem_t* elem = snd_mixer_first_elem(raw); elem;
             elem = snd_mixer_elem_next(elem)) {
            if (!snd_mixer_selem_is_active(elem) || !snd_mixer_selem_has_playback_volume(elem))
                continue;
            FControls.push_back(TControl{mixer.get(),
                                         QString::fromUtf8(snd_mixer_selem_get_name(elem)),
                                         snd_mixer_selem_get_index(elem)});
        }
        FMixers.push_back(std::move(mixer));
    }
}

TAlsaMixer::~TAlsaMixer() = default;

int TAlsaMixer::DeviceCount() const {
    return int(FControls.size());
}

bool TAlsaMixer::DeviceName(int device, QString& name) const {
    if (device < 0 || device >= DeviceCount())
        return false;
    const TControl& control = FControls[size_t(device)];
    name = control.index ? QStringLiteral("%1 %2 (%3)")
                               .arg(control.element)
                               .arg(control.index)
                               .arg(control.mixer->name)
                         : QStringLiteral("%1 (%2)").arg(control.element, control.mixer->name);
    return true;
}

long TAlsaMixer::LevelToRaw(quint16 level, long min, long max) {
    if (max <= min)
        return min;
    return min + static_cast<long>((static_cast<long long>(level) * (max - min) + 32767) / 65535);
}

quint16 TAlsaMixer::RawToLevel(long raw, long min, long max) {
    if (max <= min)
        return 0;
    const long clamped = qBound(min, raw, max);
    const long long range = max - min;
    return quint16((static_cast<long long>(clamped - min) * 65535 + range / 2) / range);
}

snd_mixer_elem_t* TAlsaMixer::PlaybackElement(int device, long& min, long& max) {
    if (device < 0 || device >= DeviceCount())
        return nullptr;
    const TControl& control = FControls[size_t(device)];
    snd_mixer_t* mixer = control.mixer->handle.get();
    // Picks up changes others made since the last call.
    snd_mixer_handle_events(mixer);
    snd_mixer_elem_t* elem = FindElement(mixer, control.element, control.index);
    if (!elem || snd_mixer_selem_get_playback_volume_range(elem, &min, &max) < 0)
        return nullptr;
    return elem;
}

bool TAlsaMixer::GetVolume(int device, quint32& volume) {
    long min = 0;
    long max = 0;
    long left = 0;
    long right = 0;
    snd_mixer_elem_t* elem = PlaybackElement(device, min, max);
    if (!elem || snd_mixer_selem_get_playback_volume(elem, SND_MIXER_SCHN_FRONT_LEFT, &left) < 0)
        return false;
    if (snd_mixer_selem_is_playback_mono(elem) ||
        snd_mixer_selem_get_playback_volume(elem, SND_MIXER_SCHN_FRONT_RIGHT, &right) < 0)
        right = left;
    volume = MakeVolume(RawToLevel(left, min, max), RawToLevel(right, min, max));
    return true;
}

bool TAlsaMixer::SetVolume(int device, quint32 volume) {
    long min = 0;
    long max = 0;
    snd_mixer_elem_t* elem = PlaybackElement(device, min, max);
    if (!elem)
        return false;
    const long left = LevelToRaw(LeftOf(volume), min, max);
    if (snd_mixer_selem_is_playback_mono(elem))
        return snd_mixer_selem_set_playback_volume(elem, SND_MIXER_SCHN_MONO, left) >= 0;
    const long right = LevelToRaw(RightOf(volume), min, max);
    return snd_mixer_selem_set_playback_volume(elem, SND_MIXER_SCHN_FRONT_LEFT, left) >= 0 &&
           snd_mixer_selem_set_playback_volume(elem, SND_MIXER_SCHN_FRONT_RIGHT, right) >= 0;
}
