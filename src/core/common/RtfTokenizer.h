#pragma once

#include <QByteArray>

namespace skelvin {

// One piece of an RTF file: a brace, a control word or symbol, a \'hh byte or a run of text.
struct RtfToken
{
    enum class Kind { GroupStart, GroupEnd, ControlWord, ControlSymbol, HexByte, Text, End };

    Kind kind = Kind::End;
    // The control word's letters, or the text run's bytes (line ends removed).
    QByteArray text;
    bool hasParameter = false;
    int parameter = 0;
    // The control symbol's character, or the byte of \'hh.
    unsigned char byte = 0;
};

// Splits RTF bytes into tokens. Every call moves forward, so a damaged file always comes to an
// end: a truncated \'h escape or a lone backslash at the end is dropped, parameters too large
// for an int are clamped.
class RtfTokenizer
{
public:
    explicit RtfTokenizer(const QByteArray &bytes);

    RtfToken next();
    // Passes over the raw data of \binN (no more than the file holds).
    void skipBytes(qint64 count);
    bool atEnd() const { return m_pos >= m_bytes.size(); }

private:
    RtfToken controlWord();

    const QByteArray &m_bytes;
    qsizetype m_pos = 0;
};

} // namespace skelvin
