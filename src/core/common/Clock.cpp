#include "core/common/Clock.h"

namespace skelvin {

QString dateText(const QDate &date)
{
    return QStringLiteral("%1-%2-%3")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.year(), 4, 10, QLatin1Char('0'));
}

QString timeText(const QTime &time)
{
    return QStringLiteral("%1:%2:%3")
        .arg(time.hour(), 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.second(), 2, 10, QLatin1Char('0'));
}

QString dayStamp(const QString &date)
{
    return date.mid(0, 2) + date.mid(3, 2) + date.mid(8, 2);
}

QString Clock::dateText() const
{
    return skelvin::dateText(now().date());
}

QString Clock::timeText() const
{
    return skelvin::timeText(now().time());
}

} // namespace skelvin
