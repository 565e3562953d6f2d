#pragma once

#include <QString>

namespace skelvin {

// One picture pixel is 15 twips.
inline constexpr double TwipsPerPixel = 15.0;

// A picture dimension as the grid checks see it: the size in HIMETRIC units
// (pixels × 2540 / 96, rounded to a whole number) × 15 / 26.5.
double pictureTwips(int pixels);

// The same as text in the general number form, without a leading blank ("11981.320754717").
QString pictureTwipsText(int pixels);

} // namespace skelvin
