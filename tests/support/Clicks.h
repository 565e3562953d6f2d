#pragma once

#include "core/common/PictureSize.h"
#include "ui/common/PictureView.h"

#include <QAbstractButton>
#include <QTest>

namespace skelvin::test {

// Clicks a check box or option button on its indicator, the way an operator does (the middle
// of a wide control may lie beyond its caption, where a click does nothing).
inline void clickIndicator(QAbstractButton *button)
{
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
}

// The canvas position nearest to where a picture pixel shows at the view's zoom.
inline QPoint canvasPointOf(const PictureView &view, QPointF picturePixels)
{
    return view
        .canvasPosition({picturePixels.x() * TwipsPerPixel, picturePixels.y() * TwipsPerPixel});
}

// Presses the mouse on a picture view where a picture pixel shows, whatever the zoom.
inline void pressOnPicture(const PictureView &view, QPointF picturePixels,
                           Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(view.canvas(), button, {}, canvasPointOf(view, picturePixels));
}

} // namespace skelvin::test
