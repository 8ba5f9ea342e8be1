#include "ui/curvepresets.h"

#include "platform/settingsstore.h"
#include "ui/manipwind.h"

#include <QtEndian>

namespace {

const QString kData = QStringLiteral("Data");

CKeyPath GroupKey(const QString& group) {
    return CKeyPath("SOFTWARE\\Wavelathe Pro").Child(group);
}

} // namespace

CCurvePresets::CCurvePresets(const QString& group, CKeyStore* keys)
    : m_group(group), m_keys(keys ? *keys : CSettingsStore::Registry()) {}

QStringList CCurvePresets::Names() {
    const CKeyPath group = GroupKey(m_group);
    m_keys.CreateKey(group);
    QStringList names;
    QString name;
    for (quint32 i = 0; m_keys.EnumKey(group, i, name); ++i)
        names << name;
    return names;
}

bool CCurvePresets::Save(const QString& name, const std::vector<QPointF>& fractions) {
    if (name.isEmpty() || !CManipWind::IsValidCurve(fractions))
        return false;
    const CKeyPath key = GroupKey(m_group).Child(name);
    return m_keys.CreateKey(key) && m_keys.SetValue(key, kData, Encode(fractions));
}

CCurvePresets::CLoad CCurvePresets::Load(const QString& name, std::vector<QPointF>& fractions) {
    const CKeyPath key = GroupKey(m_group).Child(name);
    if (name.isEmpty() || !m_keys.OpenKey(key))
        return CLoad::Missing;
    QByteArray data(kDataSize, '\0');
    quint32 length = 0;
    if (!m_keys.QueryValue(key, kData, data.data(), kDataSize, &length))
        return length > kDataSize ? CLoad::Damaged : CLoad::Missing;
    data.truncate(qsizetype(length));
    const std::optional<std::vector<QPointF>> decoded = Decode(data);
    if (!decoded)
        return CLoad::Damaged;
    fractions = *decoded;
    return CLoad::Loaded;
}

bool CCurvePresets::Delete(const QString& name) {
    return !name.isEmpty() && m_keys.DeleteKey(GroupKey(m_group).Child(name));
}

QByteArray CCurvePresets::Encode(const std::vector<QPointF>& fractions) {
    QByteArray data(kDataSize, '\0');
    auto* slot = reinterpret_cast<uchar*>(data.data());
    for (std::size_t i = 0; i < fractions.size() && i < std::size_t(kSlots); ++i, slot += 8) {
        qToLittleEndian<float>(float(fractions[i].x()), slot);
        qToLittleEndian<float>(float(fractions[i].y()), slot + 4);
    }
    return data;
}

std::optional<std::vector<QPointF>> CCurvePresets::Decode(const QByteArray& data) {
    if (data.size() != qsizetype(kDataSize))
        return std::nullopt;
    std::vector<QPointF> fractions;
    const auto* slot = reinterpret_cast<const uchar*>(data.constData());
    for (int i = 0; i < kSlots; ++i, slot += 8) {
        const float time = qFromLittleEndian<float>(slot);
        fractions.emplace_back(time, qFromLittleEndian<float>(slot + 4));
        if (time == 1.0f)
            break;
    }
    if (!CManipWind::IsValidCurve(fractions))
        return std::nullopt;
    return fractions;
}
