#pragma once
// Building sample files byte by byte for the file-format tests, and reading files back.

#include "core/samplebuffer.h"

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QTemporaryDir>

#include <vector>

class CFileBytes {
public:
    CFileBytes& Text(const char* text) { return Raw(text, int(qstrlen(text))); }
    CFileBytes& Raw(const char* data, int size) {
        m_bytes.append(data, size);
        return *this;
    }
    CFileBytes& Raw(const QByteArray& data) {
        m_bytes.append(data);
        return *this;
    }
    CFileBytes& U8(quint32 v) {
        m_bytes.append(char(quint8(v)));
        return *this;
    }
    CFileBytes& LE16(quint32 v) { return U8(v).U8(v >> 8); }
    CFileBytes& LE24(quint32 v) { return U8(v).U8(v >> 8).U8(v >> 16); }
    CFileBytes& LE32(quint32 v) { return LE16(v).LE16(v >> 16); }
    CFileBytes& BE16(quint32 v) { return U8(v >> 8).U8(v); }
    CFileBytes& BE32(quint32 v) { return BE16(v >> 16).BE16(v); }
    CFileBytes& Fill(int count, quint8 value) {
        m_bytes.append(count, char(value));
        return *this;
    }
    // A RIFF chunk: identifier, size, body and the pad byte of an odd body.
    CFileBytes& Chunk(const char* id, const QByteArray& body) {
        Text(id).LE32(quint32(body.size())).Raw(body);
        if (body.size() & 1)
            U8(0);
        return *this;
    }

    const QByteArray& Bytes() const { return m_bytes; }
    int Size() const { return int(m_bytes.size()); }

private:
    QByteArray m_bytes;
};

// The 16-byte body of a PCM "fmt " chunk as a wave file states it.
inline QByteArray FormatBody(quint16 tag, quint16 channels, quint32 rate, quint16 bits) {
    const quint32 align = channels * ((bits + 7u) / 8u);
    return CFileBytes()
        .LE16(tag)
        .LE16(channels)
        .LE32(rate)
        .LE32(rate * align)
        .LE16(align)
        .LE16(bits)
        .Bytes();
}

// A whole wave file: RIFF header, the given chunks in order, and the right RIFF size.
inline QByteArray WaveFile(const QByteArray& chunks) {
    return CFileBytes()
        .Text("RIFF")
        .LE32(quint32(4 + chunks.size()))
        .Text("WAVE")
        .Raw(chunks)
        .Bytes();
}

inline QString WriteFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes) {
    const QString path = dir.filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        return QString();
    return path;
}

inline QByteArray ReadFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray DataOf(const CSampleBuffer& buffer) {
    if (!buffer.GetData())
        return QByteArray();
    return QByteArray(reinterpret_cast<const char*>(buffer.GetData()),
                      qsizetype(buffer.GetByteLength()));
}

// Fills a buffer with `bytes` in the given layout (through a raw load, the way the editor does).
inline bool MakeSample(CSampleBuffer& buffer, const QTemporaryDir& dir, const QByteArray& bytes,
                       SampleLayout layout, quint32 rate) {
    const QString path = WriteFile(dir, QStringLiteral("make.raw"), bytes);
    if (path.isEmpty() || !buffer.LoadFile(path, FileKind::Raw))
        return false;
    buffer.SetFormat(rate, LayoutIsStereo(layout), LayoutIs16Bit(layout));
    buffer.CommitFormat();
    return true;
}

inline std::vector<qint16> WordsOf(const CSampleBuffer& buffer) {
    std::vector<qint16> words(buffer.GetByteLength() / 2);
    for (std::size_t i = 0; i < words.size(); ++i)
        words[i] = qint16(quint16(buffer.GetData()[2 * i] | (buffer.GetData()[2 * i + 1] << 8)));
    return words;
}
