#pragma once

#include <QByteArray>
#include <QtEndian>

#include <cstdint>

namespace skelvin::test {

// Little builders for RIFF bytes, to write AVI files that FFmpeg would not write (OpenDML parts
// of a file over 1 GiB, damaged headers) at a few hundred bytes.
inline QByteArray le32(std::uint32_t value)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<quint32>(value, bytes.data());
    return bytes;
}

inline QByteArray le16(std::uint16_t value)
{
    QByteArray bytes(2, '\0');
    qToLittleEndian<quint16>(value, bytes.data());
    return bytes;
}

inline QByteArray le64(std::uint64_t value)
{
    QByteArray bytes(8, '\0');
    qToLittleEndian<quint64>(value, bytes.data());
    return bytes;
}

inline QByteArray chunk(const char *id, const QByteArray &data)
{
    QByteArray bytes = QByteArray(id, 4) + le32(std::uint32_t(data.size())) + data;
    if (data.size() % 2)
        bytes += '\0';
    return bytes;
}

inline QByteArray list(const char *type, const QByteArray &content)
{
    return chunk("LIST", QByteArray(type, 4) + content);
}

inline QByteArray riff(const char *form, const QByteArray &content)
{
    return chunk("RIFF", QByteArray(form, 4) + content);
}

} // namespace skelvin::test
