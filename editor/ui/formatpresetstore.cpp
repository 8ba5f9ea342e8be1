#include "ui/formatpresetstore.h"

#include "platform/settingsstore.h"

#include <QtEndian>

namespace {

const CKeyPath kPresets = "SOFTWARE\\Wavelathe Pro\\Sample Rate Presets";

struct CStoredFormat {
    const char* name;
    int frequency;
    int channels;
    int bits;
};

// What a first start offers; a user who deletes them does not get them back.
constexpr CStoredFormat kFirstPresets[] = {
    {"CD Quality", 44100, 2, 16},
    {"Radio Quality", 22050, 1, 16},
    {"Telephone Quality", 8000, 1, 8},
};

bool ReadInt(CKeyStore& keys, const CKeyPath& key, const QString& name, int& value) {
    uchar bytes[4];
    quint32 read = 0;
    if (!keys.QueryValue(key, name, bytes, sizeof bytes, &read) || read != sizeof bytes)
        return false;
    value = qFromLittleEndian<qint32>(bytes);
    return true;
}

bool WriteInt(CKeyStore& keys, const CKeyPath& key, const QString& name, int value) {
    QByteArray bytes(4, '\0');
    qToLittleEndian<qint32>(value, bytes.data());
    return keys.SetValue(key, name, bytes);
}

bool WriteFormat(CKeyStore& keys, const QString& name, int frequency, int channels, int bits) {
    const CKeyPath key = kPresets.Child(name);
    return !name.isEmpty() && keys.CreateKey(key) &&
           WriteInt(keys, key, QStringLiteral("Frequency"), frequency) &&
           WriteInt(keys, key, QStringLiteral("Channels"), channels) &&
           WriteInt(keys, key, QStringLiteral("Bits"), bits);
}

} // namespace

FormatPresetStore::FormatPresetStore(CKeyStore* keys)
    : m_keys(keys ? *keys : CSettingsStore::Registry()) {
    if (m_keys.OpenKey(kPresets))
        return;
    m_keys.CreateKey(kPresets);
    for (const CStoredFormat& preset : kFirstPresets)
        WriteFormat(m_keys, QString::fromLatin1(preset.name), preset.frequency, preset.channels,
                    preset.bits);
}

std::optional<QString> FormatPresetStore::FirstName() {
    m_index = 0;
    return NextName();
}

std::optional<QString> FormatPresetStore::NextName() {
    QString name;
    if (!m_keys.EnumKey(kPresets, m_index, name))
        return std::nullopt;
    ++m_index;
    Name = name;
    return name;
}

std::optional<QString> FormatPresetStore::FindName(int frequency, int channels, int bits) {
    for (auto name = FirstName(); name; name = NextName()) {
        const CKeyPath key = kPresets.Child(*name);
        if (ReadInt(m_keys, key, QStringLiteral("Frequency"), Frequency) &&
            Frequency == frequency && ReadInt(m_keys, key, QStringLiteral("Channels"), Channels) &&
            Channels == channels && ReadInt(m_keys, key, QStringLiteral("Bits"), Bits) &&
            Bits == bits)
            return name;
    }
    return std::nullopt;
}

bool FormatPresetStore::Load(const QString& name) {
    const CKeyPath key = kPresets.Child(name);
    int frequency = 0, channels = 0, bits = 0;
    if (!ReadInt(m_keys, key, QStringLiteral("Frequency"), frequency) ||
        !ReadInt(m_keys, key, QStringLiteral("Channels"), channels) ||
        !ReadInt(m_keys, key, QStringLiteral("Bits"), bits))
        return false;
    Frequency = frequency;
    Channels = channels;
    Bits = bits;
    Name = name;
    return true;
}

bool FormatPresetStore::Save(const QString& name) {
    return WriteFormat(m_keys, name, Frequency, Channels, Bits);
}

bool FormatPresetStore::Delete(const QString& name) {
    return !name.isEmpty() && m_keys.DeleteKey(kPresets.Child(name));
}
