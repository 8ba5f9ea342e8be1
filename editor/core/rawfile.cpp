// Raw sample data: the file's bytes taken in the buffer's current format.

#include "core/fileio.h"
#include "core/samplebuffer.h"

#include <QSaveFile>

using namespace wlpro;

int CSampleBuffer::ReadRaw(const QString& path, quint64 offset, quint64 length) {
    if (Busy())
        return 0;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const quint64 size = quint64(file.size());
    if (offset > size)
        return 0;
    const quint64 available = size - offset;
    if (length == 0 || length > available)
        length = available;
    if (!AllocateData(length))
        return 0;
    if (!ReadAt(file, qint64(offset), m_data, qint64(length))) {
        FreeData();
        return 0;
    }
    SetByteLength(quint32(length));
    return 1;
}

int CSampleBuffer::WriteRaw(const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) ||
        !WriteAll(file, m_data, m_byteLength))
        return 0;
    return file.commit() ? 1 : 0;
}
