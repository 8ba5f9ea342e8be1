#pragma once
// CCurvePresets: named curves of the envelope and panning dialogs in the settings store's key
// tree, one key per preset under "SOFTWARE\Wavelathe Pro\<group>", the group being
// "Envelope Presets" or "Stereo Panning Presets".
//
// A preset's value "Data" is exactly 2048 bytes: 256 slots of 8 bytes, slot i holding point i as
// two little-endian IEEE 754 single-precision numbers, its time fraction (0 left, 1 right) and
// then its height fraction (0 top, 1 bottom). The last point's time fraction is exactly 1.0 and
// marks the end of the list; the slots after it are zero, so that one curve always gives the
// same bytes. A value of any other length, without a slot at 1.0, or whose points break the
// curve's rules (fractions within 0..1, times rising from 0) is not loaded.
//
// The key tree itself compares names exactly; the dialogs' lists ignore letter case.

#include <QPointF>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class CKeyStore;

class CCurvePresets {
public:
    static constexpr quint32 kDataSize = 2048;
    static constexpr int kSlots = 256;
    static constexpr int kMaxNameLength = 49;

    static QString EnvelopeGroup() { return QStringLiteral("Envelope Presets"); }
    static QString PanningGroup() { return QStringLiteral("Stereo Panning Presets"); }

    enum class CLoad { Loaded, Missing, Damaged };

    // The process-wide key tree unless another is given (tests).
    explicit CCurvePresets(const QString& group, CKeyStore* keys = nullptr);

    // Creates the group's key when it is missing; the names of its presets in the tree's order.
    QStringList Names();
    // False (and nothing written) for an empty name or a failed write.
    bool Save(const QString& name, const std::vector<QPointF>& fractions);
    // Missing: no such preset or no "Data"; Damaged: a "Data" the rules above refuse. In both
    // cases `fractions` is left as it was.
    CLoad Load(const QString& name, std::vector<QPointF>& fractions);
    bool Delete(const QString& name);

    static QByteArray Encode(const std::vector<QPointF>& fractions);
    static std::optional<std::vector<QPointF>> Decode(const QByteArray& data);

private:
    QString m_group;
    CKeyStore& m_keys;
};
