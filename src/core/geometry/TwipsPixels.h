#pragma once

#include "core/common/PictureSize.h"
#include "core/geometry/Grid.h"

#include <QPointF>

namespace skelvin {

// A picture point in twips as pixels of the picture (the centre of pixel i is i), and back.
inline QPointF pixelsOf(ScreenPoint twips)
{
    return {twips.x / TwipsPerPixel, twips.y / TwipsPerPixel};
}

inline ScreenPoint twipsOf(QPointF pixels)
{
    return {pixels.x() * TwipsPerPixel, pixels.y() * TwipsPerPixel};
}

} // namespace skelvin
