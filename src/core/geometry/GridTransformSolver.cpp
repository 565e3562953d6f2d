#include "core/geometry/GridTransformSolver.h"

namespace skelvin {

bool GridTransform::isZero() const
{
    for (double v : c) {
        if (v != 0.0)
            return false;
    }
    return true;
}

std::optional<GridTransform> SolveGridTransform(const std::array<CornerBuoy, CornerCount> &corners)
{
    constexpr int n = 8;
    double a[11][11] = {};

    for (int i = 1; i <= 4; ++i) {
        const CornerBuoy &corner = corners[static_cast<size_t>(i - 1)];
        const double x = corner.screen.x;
        const double y = corner.screen.y;
        const double X = corner.survey.x;
        const double Y = corner.survey.y;

        double *rx = a[i];
        rx[1] = 1.0;
        rx[2] = x;
        rx[3] = y;
        rx[4] = -x * X;
        rx[5] = -y * X;
        rx[6] = 0.0;
        rx[7] = 0.0;
        rx[8] = 0.0;
        rx[9] = X;

        double *ry = a[i + 4];
        ry[1] = 0.0;
        ry[2] = 0.0;
        ry[3] = 0.0;
        ry[4] = -x * Y;
        ry[5] = -y * Y;
        ry[6] = 1.0;
        ry[7] = x;
        ry[8] = y;
        ry[9] = Y;
    }

    for (int k = 1; k <= n; ++k) {
        int pivot = k;
        while (pivot <= n && a[pivot][k] == 0.0)
            ++pivot;
        if (pivot > n)
            return std::nullopt;

        for (int j = 1; j <= n + 1; ++j)
            std::swap(a[k][j], a[pivot][j]);

        const double q = 1.0 / a[k][k];
        for (int j = 1; j <= n + 1; ++j)
            a[k][j] *= q;

        for (int i = 1; i <= n; ++i) {
            if (i == k)
                continue;
            const double f = -a[i][k];
            for (int j = 1; j <= n + 1; ++j)
                a[i][j] = a[k][j] * f + a[i][j];
        }
    }

    GridTransform t;
    for (int i = 1; i <= n; ++i)
        t.c[static_cast<size_t>(i - 1)] = a[i][9];
    return t;
}

std::optional<SurveyPoint> ScreenToSurvey(const GridTransform &t, ScreenPoint p)
{
    const double w = p.x * t(4) + p.y * t(5) + 1.0;
    if (w == 0.0)
        return std::nullopt;
    return SurveyPoint{(p.x * t(2) + t(1) + p.y * t(3)) / w, (p.x * t(7) + t(6) + p.y * t(8)) / w};
}

std::optional<ScreenPoint> SurveyToScreen(const GridTransform &t, SurveyPoint p)
{
    const double X = p.x;
    const double Y = p.y;
    const double d = (t(7) * t(5) - t(8) * t(4)) * X + (t(4) * t(3) - t(5) * t(2)) * Y
                     + (t(2) * t(8) - t(3) * t(7));
    if (d == 0.0)
        return std::nullopt;
    const double x = ((t(8) - t(6) * t(5)) * X + (t(5) * t(1) - t(3)) * Y + (t(3) * t(6) - t(1) * t(8))) / d;
    const double y = ((t(6) * t(4) - t(7)) * X + (t(2) - t(4) * t(1)) * Y + (t(1) * t(7) - t(2) * t(6))) / d;
    return ScreenPoint{x, y};
}

} // namespace skelvin
