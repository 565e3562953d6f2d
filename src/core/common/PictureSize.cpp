#include "core/common/PictureSize.h"

#include "core/common/NumberText.h"

#include <cmath>

namespace skelvin {

double pictureTwips(int pixels)
{
    const double himetric = std::round(pixels * 2540.0 / 96.0);
    return himetric * 15.0 / 26.5;
}

QString pictureTwipsText(int pixels)
{
    return CStr(pictureTwips(pixels));
}

} // namespace skelvin
