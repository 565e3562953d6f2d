#include "core/common/TextFile.h"

#include "core/common/SafeFile.h"

#include <QFile>
#include <QStringDecoder>

namespace skelvin {

namespace {

QString describe(const QString &path, const QFile &file)
{
    return path + QStringLiteral(": ") + file.errorString();
}

QByteArray encodeLines(const QStringList &lines)
{
    QByteArray bytes;
    for (const QString &line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }
    return bytes;
}

} // namespace

// Windows-1252 characters 0x80..0x9F; the rest of the code page is Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

QString decodeCp1252(const QByteArray &bytes)
{
    QString text;
    text.reserve(bytes.size());
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 0x80 && byte < 0xA0)
            text.append(QChar(kCp1252High[byte - 0x80]));
        else
            text.append(QChar(byte));
    }
    return text;
}

QString decodeLine(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return decodeCp1252(bytes);
    return text;
}

Result<QStringList> readTextLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Result<QStringList>::failure(describe(path, file));
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return Result<QStringList>::failure(describe(path, file));

    QStringList lines;
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size();
        qsizetype lineEnd = end;
        if (lineEnd > start && bytes[lineEnd - 1] == '\r')
            --lineEnd;
        lines.append(decodeLine(bytes.mid(start, lineEnd - start)));
        start = next;
    }
    return lines;
}

Failure writeTextLines(const QString &path, const QStringList &lines)
{
    return replaceFileBytes(path, encodeLines(lines));
}

Failure appendTextLines(const QString &path, const QStringList &lines)
{
    return appendFileBytes(path, encodeLines(lines));
}

} // namespace skelvin
