#pragma once

#include "core/geometry/Grid.h"

#include <QWidget>

namespace skelvin {

class PictureScene;

// A square that follows the mouse over a picture view and shows the picture around the point a
// click would mark, in the camera's own pixels, with the drawings and a cross at exactly that
// point. It enlarges `power` times what the view shows at 1:1 or more (so it still helps on a
// view already zoomed in), and `power` view pixels a picture pixel on a view shrunk to fit.
// Clicks pass through it to the picture.
class PictureMagnifier : public QWidget
{
    Q_OBJECT

public:
    static constexpr int kMinPower = 2;
    static constexpr int kMaxPower = 8;
    static constexpr int kDefaultPower = 4;
    static constexpr int kSidePixels = 240;

    PictureMagnifier(const PictureScene &scene, QWidget *parent);

    void setPower(int power);
    int power() const { return m_power; }
    // Centres the square on `centre` (parent coordinates) and shows `mark` in its middle, for a
    // view at `viewZoom`.
    void follow(QPoint centre, ScreenPoint mark, double viewZoom);
    ScreenPoint mark() const { return m_mark; }
    // View pixels a picture pixel takes in the magnifier.
    double scale() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const PictureScene &m_scene;
    int m_power = kDefaultPower;
    double m_viewZoom = 1.0;
    ScreenPoint m_mark;
};

} // namespace skelvin
