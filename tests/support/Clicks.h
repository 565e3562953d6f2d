#pragma once

#include <QAbstractButton>
#include <QTest>

namespace skelvin::test {

// Clicks a check box or option button on its indicator, the way an operator does (the middle
// of a wide control may lie beyond its caption, where a click does nothing).
inline void clickIndicator(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

} // namespace skelvin::test
