#pragma once

#include <QDateTime>
#include <QString>

namespace skelvin {

// Where the system takes the date and time from; tests fix it.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;

    // mm-dd-yyyy, whatever the regional settings.
    QString dateText() const;
    // hh:mm:ss on a 24-hour clock.
    QString timeText() const;
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// A clock that stands still at a set moment until it is set again.
class FixedClock : public Clock
{
public:
    explicit FixedClock(QDateTime moment) : m_moment(std::move(moment)) {}
    QDateTime now() const override { return m_moment; }
    void set(const QDateTime &moment) { m_moment = moment; }

private:
    QDateTime m_moment;
};

QString dateText(const QDate &date);
QString timeText(const QTime &time);

// MMDDYY from a date text mm-dd-yyyy (characters 1-2, 4-5 and 9-10): the day stamp of the
// results file and the session log names.
QString dayStamp(const QString &dateText);

} // namespace skelvin
