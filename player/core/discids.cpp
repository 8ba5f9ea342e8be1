#include "core/discids.h"

#include <QCryptographicHash>

QString TDiscIds::MusicBrainz(const TDiscToc& toc) {
    const int count = toc.TrackCount();
    QByteArray text = QByteArray::number(1, 16).rightJustified(2, '0') +
                      QByteArray::number(count, 16).rightJustified(2, '0') +
                      QByteArray::number(toc.LeadoutSector() + kLeadIn, 16).rightJustified(8, '0');
    for (int t = 1; t <= 99; ++t) {
        const qint32 offset = t <= count ? toc.Track(t).firstSector + kLeadIn : 0;
        text += QByteArray::number(offset, 16).rightJustified(8, '0');
    }
    QByteArray id = QCryptographicHash::hash(text.toUpper(), QCryptographicHash::Sha1).toBase64();
    id.replace('+', '.').replace('/', '_').replace('=', '-');
    return QString::fromLatin1(id);
}

quint32 TDiscIds::Freedb(const TDiscToc& toc) {
    auto digitSum = [](qint32 n) {
        int sum = 0;
        for (; n > 0; n /= 10)
            sum += n % 10;
        return sum;
    };
    const int count = toc.TrackCount();
    if (count == 0)
        return 0;
    int n = 0;
    for (int t = 1; t <= count; ++t)
        n += digitSum((toc.Track(t).firstSector + kLeadIn) / TDiscToc::kSectorsPerSecond);
    const qint32 length = (toc.LeadoutSector() + kLeadIn) / TDiscToc::kSectorsPerSecond -
                          (toc.Track(1).firstSector + kLeadIn) / TDiscToc::kSectorsPerSecond;
    return quint32(n % 255) << 24 | quint32(length) << 8 | quint32(count);
}

QString TDiscIds::FreedbText(const TDiscToc& toc) {
    return QString::number(Freedb(toc), 16).rightJustified(8, QLatin1Char('0'));
}

QString TDiscIds::AccurateRip(const TDiscToc& toc) {
    const int count = toc.TrackCount();
    quint32 sum = 0, weighted = 0;
    for (int t = 1; t <= count; ++t) {
        const quint32 offset = quint32(toc.Track(t).firstSector);
        sum += offset;
        weighted += (offset ? offset : 1) * quint32(t);
    }
    sum += quint32(toc.LeadoutSector());
    weighted += quint32(toc.LeadoutSector()) * quint32(count + 1);
    auto hex = [](quint32 v) { return QString::number(v, 16).rightJustified(8, QLatin1Char('0')); };
    return QStringLiteral("%1-%2-%3-%4")
        .arg(count, 3, 10, QLatin1Char('0'))
        .arg(hex(sum), hex(weighted), FreedbText(toc));
}
