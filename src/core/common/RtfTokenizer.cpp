#include "core/common/RtfTokenizer.h"

#include <algorithm>
#include <limits>

namespace skelvin {

namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Control words are at most 32 letters; longer runs of letters are cut into several words.
constexpr int kMaxWordLetters = 32;
// Parameters are read to at most this many digits and then clamped, so no input overflows.
constexpr int kMaxParameterDigits = 10;

} // namespace

RtfTokenizer::RtfTokenizer(const QByteArray &bytes) : m_bytes(bytes) {}

void RtfTokenizer::skipBytes(qint64 count)
{
    if (count <= 0)
        return;
    m_pos += qsizetype(std::min<qint64>(count, m_bytes.size() - m_pos));
}

RtfToken RtfTokenizer::next()
{
    RtfToken token;
    while (m_pos < m_bytes.size()) {
        const char c = m_bytes.at(m_pos);
        if (c == '{') {
            ++m_pos;
            token.kind = RtfToken::Kind::GroupStart;
            return token;
        }
        if (c == '}') {
            ++m_pos;
            token.kind = RtfToken::Kind::GroupEnd;
            return token;
        }
        if (c == '\\') {
            if (m_pos + 1 >= m_bytes.size()) {
                ++m_pos; // a lone backslash at the very end
                continue;
            }
            const char after = m_bytes.at(m_pos + 1);
            if (isLetter(after))
                return controlWord();
            if (after == '\'') {
                m_pos += 2;
                const int high = m_pos < m_bytes.size() ? hexValue(m_bytes.at(m_pos)) : -1;
                const int low = m_pos + 1 < m_bytes.size() ? hexValue(m_bytes.at(m_pos + 1)) : -1;
                if (high < 0 || low < 0) {
                    // A damaged escape carries no character, nor its lone hex digit.
                    m_pos += high < 0 ? 0 : 1;
                    continue;
                }
                m_pos += 2;
                token.kind = RtfToken::Kind::HexByte;
                token.byte = static_cast<unsigned char>(high * 16 + low);
                return token;
            }
            m_pos += 2;
            if (after == '\r' || after == '\n') {
                // A backslash before a line end is a paragraph mark.
                token.kind = RtfToken::Kind::ControlWord;
                token.text = QByteArrayLiteral("par");
                return token;
            }
            token.kind = RtfToken::Kind::ControlSymbol;
            token.byte = static_cast<unsigned char>(after);
            return token;
        }
        // A run of text up to the next brace or backslash.
        const qsizetype start = m_pos;
        while (m_pos < m_bytes.size()) {
            const char t = m_bytes.at(m_pos);
            if (t == '{' || t == '}' || t == '\\')
                break;
            ++m_pos;
        }
        token.text.reserve(m_pos - start);
        for (qsizetype i = start; i < m_pos; ++i) {
            const char t = m_bytes.at(i);
            // Line ends are not text in RTF; other control characters but the tab are noise.
            if (static_cast<unsigned char>(t) >= 0x20 || t == '\t')
                token.text.append(t);
        }
        if (!token.text.isEmpty()) {
            token.kind = RtfToken::Kind::Text;
            return token;
        }
    }
    token.kind = RtfToken::Kind::End;
    return token;
}

RtfToken RtfTokenizer::controlWord()
{
    RtfToken token;
    token.kind = RtfToken::Kind::ControlWord;
    ++m_pos; // the backslash
    while (m_pos < m_bytes.size() && isLetter(m_bytes.at(m_pos)) &&
           token.text.size() < kMaxWordLetters)
        token.text.append(m_bytes.at(m_pos++));

    bool negative = false;
    if (m_pos + 1 < m_bytes.size() && m_bytes.at(m_pos) == '-' && isDigit(m_bytes.at(m_pos + 1))) {
        negative = true;
        ++m_pos;
    }
    long long value = 0;
    int digits = 0;
    while (m_pos < m_bytes.size() && isDigit(m_bytes.at(m_pos))) {
        if (digits < kMaxParameterDigits)
            value = value * 10 + (m_bytes.at(m_pos) - '0');
        ++digits;
        ++m_pos;
    }
    if (digits > 0) {
        token.hasParameter = true;
        value = std::min<long long>(value, std::numeric_limits<int>::max());
        token.parameter = int(negative ? -value : value);
    }
    // One blank after a control word belongs to it.
    if (m_pos < m_bytes.size() && m_bytes.at(m_pos) == ' ')
        ++m_pos;
    return token;
}

} // namespace skelvin
