#pragma once

#include <QString>

#include <array>

namespace skelvin {

// What the main screen shows for one grid: whether it is in use, its status picture and its
// description.
struct GridIndicator
{
    bool visible = false;
    QString picture; // "SmallSmiley.jpg" (set up) or "SmallCaution.jpg" (not set up)
    QString description;
};

using GridIndicators = std::array<GridIndicator, 3>;

} // namespace skelvin
