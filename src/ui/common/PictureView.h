#pragma once

#include "core/geometry/Grid.h"
#include "core/geometry/ViewScale.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QScrollArea>

#include <optional>

class QComboBox;
class QLabel;
class QToolButton;

namespace skelvin {

class PictureCanvas;
class PictureMagnifier;
class PictureScene;

// A still picture with a drawing layer over it, fitted to the window, at 1:1 or zoomed up to
// 8x, with scroll bars, wheel zoom about the mouse and panning with the middle button (or the
// left button with Ctrl held). Every position it takes or gives is picture twips (15 per
// picture pixel, origin top-left), whatever the zoom. A click marks the nearest 1/n of a pixel at
// zoom n. The drawing layer can be cleared without touching the picture; named lines (the impact
// mark) live apart from it and are only changed by name. A bar above the picture holds the zoom
// buttons, the magnifier switch (where the screen offers it) and whatever the screen adds.
class PictureView : public QScrollArea
{
    Q_OBJECT

public:
    explicit PictureView(QWidget *parent = nullptr);
    ~PictureView() override;

    // BMP, GIF, JPEG or PNG; false (picture unchanged) when the file cannot be read.
    bool loadPicture(const QString &path);
    void setPicture(const QImage &picture);
    void clearPicture();
    const QImage &picture() const;
    bool hasPicture() const { return !picture().isNull(); }
    // The picture's size, or the standard 800 x 600 of the drawing layer without a picture.
    QSize pictureSize() const;
    void setBackground(const QColor &colour);

    // The drawing layer.
    void clearDrawings();
    void drawLine(ScreenPoint from, ScreenPoint to, const QColor &colour, int widthPixels = 2);
    void drawCircle(ScreenPoint centre, double radiusTwips, const QColor &colour,
                    int widthPixels = 2);
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

    // A picture of the picture's size laid half transparent over it (the accuracy map), with
    // its legend in the corner of the view.
    void setOverlay(const QImage &overlay, const QImage &legend);
    void clearOverlay();
    bool overlayShown() const;

    // Zoom. Fit shrinks a picture larger than the view to fit it and follows the window's size;
    // a picture that fits is shown 1:1.
    void fitToView();
    // `anchor`: the position in the visible part that keeps showing the same picture point;
    // the middle of the view when not given.
    void setZoom(double zoom, std::optional<QPoint> anchor = std::nullopt);
    void zoomIn(std::optional<QPoint> anchor = std::nullopt);
    void zoomOut(std::optional<QPoint> anchor = std::nullopt);
    bool fitting() const { return m_fitting; }
    ViewScale scale() const { return m_scale; }
    // The canvas pixel (the widget labels over the picture belong to) that shows a picture
    // point: a click there marks it.
    QPoint canvasPosition(ScreenPoint point) const;

    // Keeps a widget on the canvas with its top-left corner at a picture point, `offsetPixels`
    // away in view pixels, whatever the zoom. The widget keeps its own size.
    void placeOver(QWidget *widget, ScreenPoint topLeft, QPoint offsetPixels = {});

    // The magnifier: offered by the screens where marks are placed.
    void setMagnifierOffered(bool offered);
    void setMagnifierOn(bool on);
    bool magnifierOn() const { return m_magnifierOn; }
    void setMagnifierPower(int power);
    const PictureMagnifier &magnifier() const { return *m_magnifier; }

    // Adds a screen's own switch to the bar above the picture.
    void addToBar(QWidget *widget);

    // The widget the picture is painted on: labels placed over the picture are its children.
    QWidget *canvas() const;

signals:
    void mousePressed(skelvin::ScreenPoint point, Qt::MouseButton button);
    void mouseMoved(skelvin::ScreenPoint point);
    void mouseReleased(skelvin::ScreenPoint point);
    void zoomChanged(double zoom);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class PictureCanvas;

    struct Placed
    {
        QPointer<QWidget> widget;
        ScreenPoint topLeft;
        QPoint offset;
    };

    void buildBar();
    void applyZoom(double zoom, QPoint anchor);
    void refit();
    void sceneChanged();
    void drawingsChanged();
    void placeAll();
    void showZoom();
    void placeLegend();
    QPoint viewportCentre() const;

    // From the canvas.
    void canvasPressed(QMouseEvent *event);
    void canvasMoved(QMouseEvent *event);
    void canvasReleased(QMouseEvent *event);
    void canvasWheel(QWheelEvent *event);
    void canvasLeft();

    PictureScene *m_scene;
    PictureCanvas *m_canvas;
    PictureMagnifier *m_magnifier;
    QLabel *m_legend;
    QWidget *m_bar;
    QLabel *m_zoomText;
    QToolButton *m_magnifierButton;
    QComboBox *m_magnifierPower;
    ViewScale m_scale;
    bool m_fitting = true;
    bool m_magnifierOffered = false;
    bool m_magnifierOn = false;
    bool m_layoutPending = false;
    QSize m_laidOutSize;             // the picture size the canvas was last laid out for
    std::optional<QPoint> m_panFrom; // global position where panning started
    // The picture point a run of wheel notches zooms about, and the view it left: while the
    // mouse stays and nothing else moves the view, each notch keeps that same point under the
    // mouse, even where a picture smaller than the view had to be centred in between.
    struct WheelAnchor
    {
        QPoint at;
        ScreenPoint point;
        double zoom = 0;
        QPoint scroll;
    };
    std::optional<WheelAnchor> m_wheelAnchor;
    // The picture point to keep under the anchor at the next zoom, when it is known already.
    std::optional<ScreenPoint> m_keepPoint;
    QPoint m_panScrollFrom;
    QList<Placed> m_placed;
};

} // namespace skelvin
