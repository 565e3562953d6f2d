#pragma once

#include "core/geometry/Grid.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QList>
#include <QScrollArea>

namespace skelvin {

class PictureCanvas;

// A still picture at one screen pixel per picture pixel, with scroll bars when it is larger than
// the window, and a drawing layer over it. Positions are picture twips (15 per pixel, origin
// top-left). The drawing layer can be cleared without touching the picture; named lines (the
// impact mark) live apart from it and are only changed by name.
class PictureView : public QScrollArea
{
    Q_OBJECT

public:
    explicit PictureView(QWidget *parent = nullptr);

    // BMP, GIF, JPEG or PNG; false (picture unchanged) when the file cannot be read.
    bool loadPicture(const QString &path);
    void setPicture(const QImage &picture);
    void clearPicture();
    const QImage &picture() const;
    bool hasPicture() const { return !picture().isNull(); }
    void setBackground(const QColor &colour);

    // The drawing layer.
    void clearDrawings();
    void drawLine(ScreenPoint from, ScreenPoint to, const QColor &colour, int widthPixels = 2);
    void drawCircle(ScreenPoint centre, double radiusTwips, const QColor &colour, int widthPixels = 2);
    void drawDot(ScreenPoint at, const QColor &colour, int widthPixels = 2);
    void drawText(ScreenPoint topLeft, const QString &text, const QColor &colour);
    int drawingCount() const;
    // A buoy marker: a cross with arms of `sizeTwips`, or a circle of radius 2 x size with five
    // dots at its centre and 5 twips around it.
    void drawBuoyMarker(ScreenPoint at, bool cross, double sizeTwips, const QColor &colour);

    // Lines kept by name, apart from the drawing layer.
    void setNamedLine(const QString &name, ScreenPoint from, ScreenPoint to, const QColor &colour,
                      int widthPixels = 2);
    void setNamedLineVisible(const QString &name, bool visible);
    bool namedLineVisible(const QString &name) const;
    // The two ends of a named line, twips; nothing when there is no such line.
    std::optional<std::pair<ScreenPoint, ScreenPoint>> namedLine(const QString &name) const;

    // The widget the picture is painted on: labels placed over the picture are its children.
    QWidget *canvas() const;
    static QPoint toPixels(ScreenPoint p);
    static ScreenPoint toTwips(QPointF pixels);

signals:
    void mousePressed(skelvin::ScreenPoint point, Qt::MouseButton button);
    void mouseMoved(skelvin::ScreenPoint point);
    void mouseReleased(skelvin::ScreenPoint point);

private:
    PictureCanvas *m_canvas;
};

} // namespace skelvin
