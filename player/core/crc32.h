#pragma once
// CRC-32 as zip, PNG and every ripping log use it (reflected polynomial 0xEDB88320, initial and
// final value 0xFFFFFFFF), fed piece by piece.

#include <QByteArray>
#include <QtGlobal>

class TCrc32 {
public:
    void Add(const void* data, qint64 size);
    quint32 Value() const { return ~FState; }
    static quint32 Of(const QByteArray& bytes);

private:
    quint32 FState = 0xFFFFFFFFu;
};
