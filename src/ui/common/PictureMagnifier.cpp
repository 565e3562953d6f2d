#include "ui/common/PictureMagnifier.h"

#include "core/common/PictureSize.h"
#include "ui/common/PictureScene.h"

#include <QPaintEvent>
#include <QPainter>

#include <algorithm>

namespace skelvin {

namespace {

// The cross leaves the marked point itself free, so the pixel under it stays visible.
constexpr double kCrossGapPixels = 3;

} // namespace

PictureMagnifier::PictureMagnifier(const PictureScene &scene, QWidget *parent)
    : QWidget(parent), m_scene(scene)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(kSidePixels, kSidePixels);
    hide();
}

void PictureMagnifier::setPower(int power)
{
    m_power = std::clamp(power, kMinPower, kMaxPower);
    update();
}

double PictureMagnifier::scale() const
{
    return m_power * std::max(1.0, m_viewZoom);
}

void PictureMagnifier::follow(QPoint centre, ScreenPoint mark, double viewZoom)
{
    m_mark = mark;
    m_viewZoom = viewZoom;
    move(centre - QPoint(width() / 2, height() / 2));
    update();
}

void PictureMagnifier::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(16, 16, 16));
    // The mark sits in the middle, where the cross meets. Picture point i is the centre of
    // picture pixel i, half an enlarged pixel in from its corner.
    const QPointF centre(width() / 2.0, height() / 2.0);
    const QPointF markPixels(m_mark.x / TwipsPerPixel + 0.5, m_mark.y / TwipsPerPixel + 0.5);
    const double enlarged = scale();
    m_scene.paint(painter, event->rect(), enlarged, centre - markPixels * enlarged);

    // The cross: dark under light, so it shows on bright water and on dark water alike.
    const double reach = width() / 2.0;
    for (const auto &[colour, width] :
         {std::pair{QColor(0, 0, 0, 170), 3}, {QColor(255, 64, 255), 1}}) {
        painter.setPen(QPen(colour, width));
        painter.drawLine(QPointF(centre.x() - reach, centre.y()),
                         QPointF(centre.x() - kCrossGapPixels, centre.y()));
        painter.drawLine(QPointF(centre.x() + kCrossGapPixels, centre.y()),
                         QPointF(centre.x() + reach, centre.y()));
        painter.drawLine(QPointF(centre.x(), centre.y() - reach),
                         QPointF(centre.x(), centre.y() - kCrossGapPixels));
        painter.drawLine(QPointF(centre.x(), centre.y() + kCrossGapPixels),
                         QPointF(centre.x(), centre.y() + reach));
    }
    painter.setPen(QPen(QColor(230, 230, 230), 2));
    painter.drawRect(rect().adjusted(1, 1, -1, -1));
    painter.drawText(rect().adjusted(6, 4, -6, -4), Qt::AlignTop | Qt::AlignRight,
                     QStringLiteral("%1x").arg(enlarged));
}

} // namespace skelvin
