#pragma once
// FormatPresetStore: named sample formats ("CD Quality" and the like) in the settings store's key
// tree under "SOFTWARE\Wavelathe Pro\Sample Rate Presets", one key per preset holding the 4-byte
// little-endian values "Frequency", "Channels" and "Bits". A first start offers "CD Quality"
// (44100, 2, 16), "Radio Quality" (22050, 1, 16) and "Telephone Quality" (8000, 1, 8).
//
// "Bits" is 8, 16, 24 or 32, and 32 means 32-bit float: the editor holds no 32-bit integer
// samples, so the value needs no flag beside it and older readers still find a plain number.
// The dialogs read any other value as 16-bit (DepthForBits).
//
// Any name is stored safely (the key tree escapes it) and comes back unchanged.

#include <QString>
#include <optional>

class CKeyStore;

class FormatPresetStore {
public:
    // The process-wide key tree unless another is given (tests).
    explicit FormatPresetStore(CKeyStore* keys = nullptr);

    // Enumeration in the key tree's order; none past the last name.
    std::optional<QString> FirstName();
    std::optional<QString> NextName();
    // The first preset (in enumeration order) of exactly this format.
    std::optional<QString> FindName(int frequency, int channels, int bits);
    // Fills Frequency, Channels and Bits; false (fields unchanged) when the preset or any of its
    // values is missing.
    bool Load(const QString& name);
    // Writes the three fields under `name`; false for an empty name or a failed write.
    bool Save(const QString& name);
    bool Delete(const QString& name);

    int Frequency = 22050;
    int Channels = 1;
    // 8, 16, 24, or 32 for float.
    int Bits = 8;
    QString Name;

private:
    CKeyStore& m_keys;
    quint32 m_index = 0;
};
