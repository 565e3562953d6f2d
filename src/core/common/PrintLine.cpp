#include "core/common/PrintLine.h"

namespace skelvin {

PrintLine &PrintLine::item(const QString &text)
{
    m_text += text;
    return *this;
}

PrintLine &PrintLine::zone()
{
    const qsizetype next = (m_text.size() / ZoneWidth + 1) * ZoneWidth;
    m_text += QString(next - m_text.size(), QLatin1Char(' '));
    return *this;
}

} // namespace skelvin
