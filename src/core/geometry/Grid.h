#pragma once

#include <QString>

#include <array>

namespace skelvin {

// A point on the shown picture in twips (15 per picture pixel), origin top-left, y downward.
struct ScreenPoint
{
    double x = 0.0;
    double y = 0.0;
};

// Water coordinates in metres, exactly as surveyed.
struct SurveyPoint
{
    double x = 0.0;
    double y = 0.0;
};

// The four corner buoys, in the fixed order of the equations, the grid table and the grid file.
enum class Corner { UpperRight = 0, LowerRight = 1, UpperLeft = 2, LowerLeft = 3 };
constexpr int CornerCount = 4;

struct CornerBuoy
{
    ScreenPoint screen;
    SurveyPoint survey;
};

// c1..c8 of the projective transform from picture twips to water metres:
// X = (c1 + c2 x + c3 y) / w, Y = (c6 + c7 x + c8 y) / w, w = 1 + c4 x + c5 y.
struct GridTransform
{
    std::array<double, 8> c{};

    double operator()(int i) const { return c[static_cast<size_t>(i - 1)]; } // 1-based, as named
    bool isZero() const;
};

// The calibration of one camera view.
struct Grid
{
    int number = 1;
    QString fileName;
    QString description;
    std::array<CornerBuoy, CornerCount> corners{};
    GridTransform transform;
    SurveyPoint jump;               // the jump position stored with the grid
    ScreenPoint checkBuoyScreen;    // 0, 0 means "no check buoy"
    SurveyPoint checkBuoySurvey;

    CornerBuoy &corner(Corner c) { return corners[static_cast<size_t>(c)]; }
    const CornerBuoy &corner(Corner c) const { return corners[static_cast<size_t>(c)]; }
    bool hasCheckBuoy() const { return checkBuoyScreen.x > 0.0; }
};

} // namespace skelvin
