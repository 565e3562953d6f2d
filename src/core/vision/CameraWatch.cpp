#include "core/vision/CameraWatch.h"

#include "core/common/PictureSize.h"
#include "core/geometry/TwipsPixels.h"

#include <QStringList>

#include <cmath>

namespace skelvin {

namespace {

// "upper_left" as the operator says it: "upper left".
QString spoken(const QString &name)
{
    QString words = name;
    return words.replace(QLatin1Char('_'), QLatin1Char(' '));
}

QString notFoundList(const GridBuoyCheck &check)
{
    QStringList missing;
    for (const GridBuoyFind &b : check.buoys)
        if (!b.find.found)
            missing << QStringLiteral("%1 (%2)").arg(spoken(b.name), b.find.reason);
    return missing.join(QStringLiteral(", "));
}

QString pixels(double value)
{
    // A shift that rounds to nothing is 0.0, never -0.0.
    return QString::number(std::abs(value) < 0.05 ? 0.0 : value, 'f', 1);
}

} // namespace

CameraWatch watchCamera(const QImage &picture, const Grid &grid)
{
    CameraWatch watch;
    watch.check = checkGridBuoys(picture, grid);
    const GridBuoyCheck &check = watch.check;
    const QString missing = notFoundList(check);
    if (check.foundCount == 0) {
        watch.pictureMayNotBelong = true;
        watch.sign = QStringLiteral("No buoy found near the grid's marks: measured on the grid "
                                    "as it is");
        return watch;
    }
    watch.moved = check.moved;
    if (!watch.moved) {
        watch.sign = missing.isEmpty() ? QStringLiteral("Camera steady")
                                       : QStringLiteral("Camera steady; not found: %1").arg(missing);
        return watch;
    }
    watch.sign = QStringLiteral("Camera moved %1 px").arg(pixels(check.meanShiftLength));
    if (check.distanceChangeMetres)
        watch.sign += QStringLiteral(": a distance in the landing area changes by %1 m")
                          .arg(QString::number(std::abs(*check.distanceChangeMetres), 'f', 2));
    watch.follow = followCamera(grid, check);
    if (!watch.follow.transform)
        watch.sign += QStringLiteral(". It cannot be followed: %1; measured on the grid as it is")
                          .arg(watch.follow.refusal);
    return watch;
}

QString captureSignText(int n, const CameraWatch &watch)
{
    if (watch.check.foundCount == 0)
        return QStringLiteral("Grid %1's buoys are not in the camera's view").arg(n);
    if (!watch.moved)
        return QStringLiteral("Camera steady");
    return QStringLiteral("Camera moved %1 px since grid %2 was built: check the camera, or build "
                          "the grid again")
        .arg(pixels(watch.check.meanShiftLength))
        .arg(n);
}

Grid followedGrid(const Grid &grid, const CameraWatch &watch)
{
    Grid followed = grid;
    if (!watch.follow.transform)
        return followed;
    const Corner order[] = {Corner::UpperLeft, Corner::UpperRight, Corner::LowerLeft,
                            Corner::LowerRight};
    for (size_t i = 0; i < CornerCount; ++i)
        followed.corner(order[i]).screen = twipsOf(watch.check.buoys[i].find.centre);
    followed.checkBuoyScreen = twipsOf(watch.check.buoys[4].find.centre);
    followed.transform = *watch.follow.transform;
    return followed;
}

QString noBuoyNearItsMarkText(int n)
{
    return QStringLiteral("None of grid %1's buoys is near its mark: the picture may not belong "
                          "to this grid. Check the grid before recording.")
        .arg(n);
}

QString followedLogText(int n, const CameraWatch &watch)
{
    const QPointF shift = watch.check.meanShift;
    return QStringLiteral("Camera followed on grid %1: buoys moved %2, %3 px; distance change "
                          "at the grid's centre %4 m")
        .arg(n)
        .arg(pixels(shift.x()), pixels(shift.y()))
        .arg(QString::number(watch.check.distanceChangeMetres.value_or(0.0), 'f', 3));
}

} // namespace skelvin
