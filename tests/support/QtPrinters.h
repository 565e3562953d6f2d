#pragma once

// Readable failure output for Qt types in GoogleTest assertions.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <ostream>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

inline void PrintTo(const QByteArray &bytes, std::ostream *os)
{
    *os << '"' << bytes.toStdString() << '"';
}

inline void PrintTo(const QStringList &list, std::ostream *os)
{
    *os << '[';
    for (qsizetype i = 0; i < list.size(); ++i)
        *os << (i ? ", " : "") << '"' << list[i].toStdString() << '"';
    *os << ']';
}

// Qt's QTRY_* macros report a timeout to QTest's own log and return, which GoogleTest never
// sees: a wait that never came true would pass. These make every such wait a GoogleTest
// assertion that fails and names the condition.
#include <QTest>

#undef QTRY_VERIFY_WITH_TIMEOUT
#undef QTRY_VERIFY
#undef QTRY_COMPARE_WITH_TIMEOUT
#undef QTRY_COMPARE
#define QTRY_VERIFY_WITH_TIMEOUT(expr, timeoutMs)                                                  \
    ASSERT_TRUE(QTest::qWaitFor([&]() { return bool(expr); }, timeoutMs)) << "waited for: " #expr
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, 5000)
#define QTRY_COMPARE_WITH_TIMEOUT(actual, expected, timeoutMs)                                     \
    ASSERT_TRUE(QTest::qWaitFor([&]() { return (actual) == (expected); }, timeoutMs))              \
        << "waited for: " #actual " == " #expected
#define QTRY_COMPARE(actual, expected) QTRY_COMPARE_WITH_TIMEOUT(actual, expected, 5000)
