#include "ui/common/PictureView.h"

#include "core/common/PictureSize.h"

#include <QImageReader>
#include <QMouseEvent>
#include <QPainter>

namespace skelvin {

// The painted surface: the picture, then the drawing layer, then the named lines.
class PictureCanvas : public QWidget
{
public:
    struct Shape
    {
        enum Kind { Line, Circle, Dot, Text } kind = Line;
        QPointF a, b;      // pixels
        double radius = 0; // pixels
        QString text;
        QColor colour;
        int width = 2;
        bool visible = true;
    };

    explicit PictureCanvas(PictureView *view) : QWidget(view), m_view(view)
    {
        setMouseTracking(true);
        // A dark ground, as water is, so light markers show before a picture is taken in.
        setAutoFillBackground(true);
        QPalette ground = palette();
        ground.setColor(QPalette::Window, QColor(32, 36, 40));
        setPalette(ground);
        resize(800, 600);
    }

    void setPicture(const QImage &picture)
    {
        m_picture = picture;
        // Without a picture the drawing layer keeps the standard picture size (12000 x 9000
        // twips), so markers stay visible.
        resize(m_picture.isNull() ? QSize(800, 600) : m_picture.size());
        update();
    }

    QImage m_picture;
    QList<Shape> m_drawings;
    QHash<QString, Shape> m_named;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        if (!m_picture.isNull())
            p.drawImage(0, 0, m_picture);
        for (const Shape &s : m_drawings)
            paintShape(p, s);
        for (const Shape &s : std::as_const(m_named)) {
            if (s.visible)
                paintShape(p, s);
        }
    }

    void mousePressEvent(QMouseEvent *e) override
    {
        emit m_view->mousePressed(PictureView::toTwips(e->position()), e->button());
    }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        emit m_view->mouseMoved(PictureView::toTwips(e->position()));
    }
    void mouseReleaseEvent(QMouseEvent *e) override
    {
        emit m_view->mouseReleased(PictureView::toTwips(e->position()));
    }

private:
    static void paintShape(QPainter &p, const Shape &s)
    {
        p.setPen(QPen(s.colour, s.width));
        p.setBrush(Qt::NoBrush);
        switch (s.kind) {
        case Shape::Line:
            p.drawLine(s.a, s.b);
            break;
        case Shape::Circle:
            p.drawEllipse(s.a, s.radius, s.radius);
            break;
        case Shape::Dot:
            p.drawPoint(s.a);
            break;
        case Shape::Text:
            p.drawText(s.a + QPointF(0, p.fontMetrics().ascent()), s.text);
            break;
        }
    }

    PictureView *m_view;
};

namespace {

QPointF pixelsOf(ScreenPoint p)
{
    return {p.x / TwipsPerPixel, p.y / TwipsPerPixel};
}

PictureCanvas::Shape shape(PictureCanvas::Shape::Kind kind, ScreenPoint a, const QColor &colour,
                           int widthPixels)
{
    PictureCanvas::Shape s;
    s.kind = kind;
    s.a = pixelsOf(a);
    s.colour = colour;
    s.width = widthPixels;
    return s;
}

} // namespace

PictureView::PictureView(QWidget *parent) : QScrollArea(parent), m_canvas(new PictureCanvas(this))
{
    setWidget(m_canvas);
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

bool PictureView::loadPicture(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    setPicture(image);
    return true;
}

void PictureView::setPicture(const QImage &picture)
{
    m_canvas->setPicture(picture);
}

void PictureView::clearPicture()
{
    m_canvas->setPicture(QImage());
}

const QImage &PictureView::picture() const
{
    return m_canvas->m_picture;
}

void PictureView::setBackground(const QColor &colour)
{
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, colour);
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    m_canvas->setPalette(palette);
}

void PictureView::clearDrawings()
{
    m_canvas->m_drawings.clear();
    m_canvas->update();
}

void PictureView::drawLine(ScreenPoint from, ScreenPoint to, const QColor &colour, int widthPixels)
{
    PictureCanvas::Shape s = shape(PictureCanvas::Shape::Line, from, colour, widthPixels);
    s.b = pixelsOf(to);
    m_canvas->m_drawings.append(s);
    m_canvas->update();
}

void PictureView::drawCircle(ScreenPoint centre, double radiusTwips, const QColor &colour, int widthPixels)
{
    PictureCanvas::Shape s = shape(PictureCanvas::Shape::Circle, centre, colour, widthPixels);
    s.radius = radiusTwips / TwipsPerPixel;
    m_canvas->m_drawings.append(s);
    m_canvas->update();
}

void PictureView::drawDot(ScreenPoint at, const QColor &colour, int widthPixels)
{
    m_canvas->m_drawings.append(shape(PictureCanvas::Shape::Dot, at, colour, widthPixels));
    m_canvas->update();
}

void PictureView::drawText(ScreenPoint topLeft, const QString &text, const QColor &colour)
{
    PictureCanvas::Shape s = shape(PictureCanvas::Shape::Text, topLeft, colour, 2);
    s.text = text;
    m_canvas->m_drawings.append(s);
    m_canvas->update();
}

void PictureView::drawBuoyMarker(ScreenPoint p, bool cross, double s, const QColor &colour)
{
    if (cross) {
        drawLine({p.x - s, p.y}, {p.x + s, p.y}, colour);
        drawLine({p.x, p.y - s}, {p.x, p.y + s}, colour);
        return;
    }
    drawCircle(p, 2 * s, colour);
    for (const ScreenPoint d : {p, ScreenPoint{p.x, p.y + 5}, ScreenPoint{p.x, p.y - 5},
                                ScreenPoint{p.x + 5, p.y}, ScreenPoint{p.x - 5, p.y}})
        drawDot(d, colour);
}

int PictureView::drawingCount() const
{
    return static_cast<int>(m_canvas->m_drawings.size());
}

void PictureView::setNamedLine(const QString &name, ScreenPoint from, ScreenPoint to,
                               const QColor &colour, int widthPixels)
{
    PictureCanvas::Shape &s = m_canvas->m_named[name];
    s.kind = PictureCanvas::Shape::Line;
    s.a = pixelsOf(from);
    s.b = pixelsOf(to);
    s.colour = colour;
    s.width = widthPixels;
    m_canvas->update();
}

void PictureView::setNamedLineVisible(const QString &name, bool visible)
{
    auto it = m_canvas->m_named.find(name);
    if (it == m_canvas->m_named.end())
        return;
    it->visible = visible;
    m_canvas->update();
}

bool PictureView::namedLineVisible(const QString &name) const
{
    const auto it = m_canvas->m_named.constFind(name);
    return it != m_canvas->m_named.cend() && it->visible;
}

std::optional<std::pair<ScreenPoint, ScreenPoint>> PictureView::namedLine(const QString &name) const
{
    const auto it = m_canvas->m_named.constFind(name);
    if (it == m_canvas->m_named.cend())
        return std::nullopt;
    return std::make_pair(toTwips(it->a), toTwips(it->b));
}

QWidget *PictureView::canvas() const
{
    return m_canvas;
}

QPoint PictureView::toPixels(ScreenPoint p)
{
    return pixelsOf(p).toPoint();
}

ScreenPoint PictureView::toTwips(QPointF pixels)
{
    return {pixels.x() * TwipsPerPixel, pixels.y() * TwipsPerPixel};
}

} // namespace skelvin
