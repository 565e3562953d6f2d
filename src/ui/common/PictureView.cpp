#include "ui/common/PictureView.h"

#include "core/common/PictureSize.h"
#include "core/geometry/TwipsPixels.h"
#include "ui/common/PictureMagnifier.h"
#include "ui/common/PictureScene.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>

namespace skelvin {

// The painted surface, as large as the picture at the current zoom; labels placed over the
// picture are its children. Its mouse goes to the view, which knows the zoom.
class PictureCanvas : public QWidget
{
public:
    PictureCanvas(PictureView *view, const PictureScene &scene)
        : QWidget(view), m_view(view), m_scene(scene)
    {
        setMouseTracking(true);
        // A dark ground, as water is, so light markers show before a picture is taken in.
        setAutoFillBackground(true);
        QPalette ground = palette();
        ground.setColor(QPalette::Window, QColor(32, 36, 40));
        setPalette(ground);
        resize(PictureScene::kStandardSize);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        QPainter painter(this);
        m_scene.paint(painter, event->rect(), m_view->m_scale.zoom(), QPointF(0, 0));
    }
    void mousePressEvent(QMouseEvent *event) override { m_view->canvasPressed(event); }
    void mouseMoveEvent(QMouseEvent *event) override { m_view->canvasMoved(event); }
    void mouseReleaseEvent(QMouseEvent *event) override { m_view->canvasReleased(event); }
    void wheelEvent(QWheelEvent *event) override { m_view->canvasWheel(event); }
    void leaveEvent(QEvent *) override { m_view->canvasLeft(); }

private:
    PictureView *m_view;
    const PictureScene &m_scene;
};

namespace {

// Zooms closer than this are the same.
constexpr double kSameZoom = 1e-9;
constexpr int kLegendMarginPixels = 8;


PictureScene::Shape shape(PictureScene::Shape::Kind kind, ScreenPoint a, const QColor &colour,
                          int widthPixels)
{
    PictureScene::Shape s;
    s.kind = kind;
    s.a = pixelsOf(a);
    s.colour = colour;
    s.width = widthPixels;
    return s;
}

QToolButton *barButton(const QString &caption, const char *name, const QString &tip)
{
    auto *button = new QToolButton;
    button->setText(caption);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    // The arrow keys belong to the marks, not to the bar.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

} // namespace

PictureView::PictureView(QWidget *parent)
    : QScrollArea(parent), m_scene(new PictureScene), m_canvas(new PictureCanvas(this, *m_scene))
{
    setWidget(m_canvas);
    setWidgetResizable(false);
    setAlignment(Qt::AlignCenter);
    m_magnifier = new PictureMagnifier(*m_scene, viewport());
    m_legend = new QLabel(viewport());
    m_legend->setObjectName(QStringLiteral("accuracyMapLegend"));
    m_legend->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_legend->hide();
    buildBar();
    showZoom();
}

PictureView::~PictureView()
{
    // The canvas and the magnifier paint the scene: they go first.
    delete takeWidget();
    delete m_magnifier;
    delete m_scene;
}

void PictureView::buildBar()
{
    m_bar = new QWidget(this);
    m_bar->setObjectName(QStringLiteral("pictureBar"));
    auto *layout = new QHBoxLayout(m_bar);
    layout->setContentsMargins(2, 1, 2, 1);
    layout->setSpacing(3);

    auto *fit = barButton(QStringLiteral("Fit"), "btnZoomFit",
                          QStringLiteral("Fit the picture to the window (Ctrl+0)"));
    auto *actual = barButton(QStringLiteral("1:1"), "btnZoomActual",
                             QStringLiteral("One screen pixel a picture pixel (Ctrl+1)"));
    auto *out = barButton(QStringLiteral("-"), "btnZoomOut",
                          QStringLiteral("Zoom out (Ctrl+-, mouse wheel)"));
    auto *in = barButton(QStringLiteral("+"), "btnZoomIn",
                         QStringLiteral("Zoom in (Ctrl++, mouse wheel)"));
    m_zoomText = new QLabel;
    m_zoomText->setObjectName(QStringLiteral("lblZoom"));
    m_zoomText->setMinimumWidth(
        m_zoomText->fontMetrics().horizontalAdvance(QStringLiteral("Fit 100%")) + 8);
    for (QWidget *w :
         {static_cast<QWidget *>(fit), static_cast<QWidget *>(actual), static_cast<QWidget *>(out),
          static_cast<QWidget *>(in), static_cast<QWidget *>(m_zoomText)})
        layout->addWidget(w);
    connect(fit, &QToolButton::clicked, this, &PictureView::fitToView);
    connect(actual, &QToolButton::clicked, this, [this] { setZoom(1.0); });
    connect(out, &QToolButton::clicked, this, [this] { zoomOut(); });
    connect(in, &QToolButton::clicked, this, [this] { zoomIn(); });

    m_magnifierButton = barButton(QStringLiteral("Magnifier (F9)"), "btnMagnifier",
                                  QStringLiteral("A magnifier that follows the mouse (F9)"));
    m_magnifierButton->setCheckable(true);
    m_magnifierPower = new QComboBox;
    m_magnifierPower->setObjectName(QStringLiteral("cboMagnifierPower"));
    m_magnifierPower->setFocusPolicy(Qt::NoFocus);
    for (int power = PictureMagnifier::kMinPower; power <= PictureMagnifier::kMaxPower; ++power)
        m_magnifierPower->addItem(QStringLiteral("%1x").arg(power), power);
    m_magnifierPower->setCurrentIndex(PictureMagnifier::kDefaultPower -
                                      PictureMagnifier::kMinPower);
    layout->addSpacing(8);
    layout->addWidget(m_magnifierButton);
    layout->addWidget(m_magnifierPower);
    m_magnifierButton->hide();
    m_magnifierPower->hide();
    connect(m_magnifierButton, &QToolButton::toggled, this, &PictureView::setMagnifierOn);
    connect(m_magnifierPower, &QComboBox::currentIndexChanged, this,
            [this] { setMagnifierPower(m_magnifierPower->currentData().toInt()); });
    layout->addStretch();
    setViewportMargins(0, m_bar->sizeHint().height(), 0, 0);

    const auto shortcut = [this](const QKeySequence &keys, auto slot) {
        auto *s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
        return s;
    };
    shortcut(QKeySequence::ZoomIn, [this] { zoomIn(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Equal), [this] { zoomIn(); });
    shortcut(QKeySequence::ZoomOut, [this] { zoomOut(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_0), [this] { fitToView(); });
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_1), [this] { setZoom(1.0); });
    shortcut(QKeySequence(Qt::Key_F9), [this] {
        if (m_magnifierOffered)
            setMagnifierOn(!m_magnifierOn);
    });
}

void PictureView::addToBar(QWidget *widget)
{
    auto *layout = static_cast<QHBoxLayout *>(m_bar->layout());
    // Before the closing stretch.
    layout->insertWidget(layout->count() - 1, widget);
    widget->setFocusPolicy(Qt::NoFocus);
}

void PictureView::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    const int frame = frameWidth();
    m_bar->setGeometry(frame, frame, width() - 2 * frame, m_bar->sizeHint().height());
    if (m_fitting)
        refit();
    placeLegend();
}

// ---- The picture ----

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
    m_scene->setPicture(picture);
    sceneChanged();
}

void PictureView::clearPicture()
{
    m_scene->setPicture(QImage());
    sceneChanged();
}

const QImage &PictureView::picture() const
{
    return m_scene->picture();
}

QSize PictureView::pictureSize() const
{
    return m_scene->size();
}

void PictureView::sceneChanged()
{
    m_laidOutSize = pictureSize();
    if (m_fitting) {
        refit();
    } else {
        m_canvas->resize(m_scale.viewSize(pictureSize()));
        placeAll();
    }
    m_canvas->update();
    m_magnifier->update();
}

void PictureView::drawingsChanged()
{
    m_canvas->update();
    m_magnifier->update();
    // Without a picture the drawings decide the canvas's size. A redraw clears and draws again
    // in one go: the size is looked at once, after it.
    if (hasPicture() || m_layoutPending)
        return;
    m_layoutPending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_layoutPending = false;
            if (!hasPicture() && pictureSize() != m_laidOutSize)
                sceneChanged();
        },
        Qt::QueuedConnection);
}

void PictureView::setBackground(const QColor &colour)
{
    QPalette palette = viewport()->palette();
    palette.setColor(QPalette::Window, colour);
    viewport()->setPalette(palette);
    viewport()->setAutoFillBackground(true);
    m_canvas->setPalette(palette);
}

// ---- The drawing layer ----

void PictureView::clearDrawings()
{
    m_scene->drawings.clear();
    drawingsChanged();
}

void PictureView::drawLine(ScreenPoint from, ScreenPoint to, const QColor &colour, int widthPixels)
{
    PictureScene::Shape s = shape(PictureScene::Shape::Line, from, colour, widthPixels);
    s.b = pixelsOf(to);
    m_scene->drawings.append(s);
    drawingsChanged();
}

void PictureView::drawCircle(ScreenPoint centre, double radiusTwips, const QColor &colour,
                             int widthPixels)
{
    PictureScene::Shape s = shape(PictureScene::Shape::Circle, centre, colour, widthPixels);
    s.radius = radiusTwips / TwipsPerPixel;
    m_scene->drawings.append(s);
    drawingsChanged();
}

void PictureView::drawDot(ScreenPoint at, const QColor &colour, int widthPixels)
{
    m_scene->drawings.append(shape(PictureScene::Shape::Dot, at, colour, widthPixels));
    drawingsChanged();
}

void PictureView::drawText(ScreenPoint topLeft, const QString &text, const QColor &colour)
{
    PictureScene::Shape s = shape(PictureScene::Shape::Text, topLeft, colour, 2);
    s.text = text;
    m_scene->drawings.append(s);
    drawingsChanged();
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
    return static_cast<int>(m_scene->drawings.size());
}

void PictureView::setNamedLine(const QString &name, ScreenPoint from, ScreenPoint to,
                               const QColor &colour, int widthPixels)
{
    PictureScene::Shape &s = m_scene->named[name];
    s.kind = PictureScene::Shape::Line;
    s.a = pixelsOf(from);
    s.b = pixelsOf(to);
    s.colour = colour;
    s.width = widthPixels;
    drawingsChanged();
}

void PictureView::setNamedLineVisible(const QString &name, bool visible)
{
    auto it = m_scene->named.find(name);
    if (it == m_scene->named.end())
        return;
    it->visible = visible;
    drawingsChanged();
}

bool PictureView::namedLineVisible(const QString &name) const
{
    const auto it = m_scene->named.constFind(name);
    return it != m_scene->named.cend() && it->visible;
}

std::optional<std::pair<ScreenPoint, ScreenPoint>> PictureView::namedLine(const QString &name) const
{
    const auto it = m_scene->named.constFind(name);
    if (it == m_scene->named.cend())
        return std::nullopt;
    return std::make_pair(twipsOf(it->a), twipsOf(it->b));
}

// ---- The overlay ----

void PictureView::setOverlay(const QImage &overlay, const QImage &legend)
{
    m_scene->setOverlay(overlay);
    m_legend->setPixmap(QPixmap::fromImage(legend));
    m_legend->adjustSize();
    m_legend->setVisible(!overlay.isNull() && !legend.isNull());
    m_legend->raise();
    placeLegend();
    m_canvas->update();
    m_magnifier->update();
}

void PictureView::clearOverlay()
{
    setOverlay(QImage(), QImage());
}

bool PictureView::overlayShown() const
{
    return m_scene->overlayVisible();
}

void PictureView::placeLegend()
{
    m_legend->move(kLegendMarginPixels,
                   viewport()->height() - m_legend->height() - kLegendMarginPixels);
}

// ---- Zoom ----

QPoint PictureView::viewportCentre() const
{
    return viewport()->rect().center();
}

void PictureView::fitToView()
{
    m_fitting = true;
    refit();
}

void PictureView::refit()
{
    applyZoom(ViewScale::fitZoom(pictureSize(), maximumViewportSize()), viewportCentre());
}

void PictureView::setZoom(double zoom, std::optional<QPoint> anchor)
{
    m_fitting = false;
    applyZoom(zoom, anchor.value_or(viewportCentre()));
}

void PictureView::zoomIn(std::optional<QPoint> anchor)
{
    setZoom(ViewScale::zoomIn(m_scale.zoom()), anchor);
}

void PictureView::zoomOut(std::optional<QPoint> anchor)
{
    const double fit = ViewScale::fitZoom(pictureSize(), maximumViewportSize());
    const double zoom = ViewScale::zoomOut(m_scale.zoom(), std::min(fit, 1.0));
    // Back at the size that fits: follow the window again.
    if (zoom <= fit + kSameZoom) {
        fitToView();
        return;
    }
    setZoom(zoom, anchor);
}

void PictureView::applyZoom(double zoom, QPoint anchor)
{
    const double before = m_scale.zoom();
    // The canvas stands at minus the scroll position (or centred, when it is the smaller).
    const QPointF scrolled = -QPointF(m_canvas->pos());
    const ScreenPoint point = m_keepPoint ? *m_keepPoint : m_scale.toTwips(scrolled + anchor);
    m_keepPoint.reset();
    m_scale = ViewScale(zoom);
    m_canvas->resize(m_scale.viewSize(pictureSize()));
    // The picture point under the anchor stays under it.
    const QPointF scroll = m_scale.toView(point) - QPointF(anchor);
    horizontalScrollBar()->setValue(static_cast<int>(std::lround(scroll.x())));
    verticalScrollBar()->setValue(static_cast<int>(std::lround(scroll.y())));
    placeAll();
    showZoom();
    m_canvas->update();
    if (std::abs(before - m_scale.zoom()) > kSameZoom)
        emit zoomChanged(m_scale.zoom());
}

void PictureView::showZoom()
{
    const QString percent = QStringLiteral("%1%").arg(std::lround(m_scale.zoom() * 100));
    m_zoomText->setText(m_fitting ? QStringLiteral("Fit ") + percent : percent);
}

QPoint PictureView::canvasPosition(ScreenPoint point) const
{
    return m_scale.viewPixel(point);
}

void PictureView::placeOver(QWidget *widget, ScreenPoint topLeft, QPoint offsetPixels)
{
    auto it = std::find_if(m_placed.begin(), m_placed.end(),
                           [widget](const Placed &p) { return p.widget == widget; });
    if (it == m_placed.end())
        it = m_placed.insert(m_placed.end(), Placed{widget, topLeft, offsetPixels});
    else
        *it = Placed{widget, topLeft, offsetPixels};
    widget->move(m_scale.viewPixel(topLeft) + offsetPixels);
}

void PictureView::placeAll()
{
    m_placed.removeIf([](const Placed &p) { return p.widget.isNull(); });
    for (const Placed &p : std::as_const(m_placed))
        p.widget->move(m_scale.viewPixel(p.topLeft) + p.offset);
}

// ---- The magnifier ----

void PictureView::setMagnifierOffered(bool offered)
{
    m_magnifierOffered = offered;
    m_magnifierButton->setVisible(offered);
    m_magnifierPower->setVisible(offered);
    if (!offered)
        setMagnifierOn(false);
}

void PictureView::setMagnifierOn(bool on)
{
    m_magnifierOn = on && m_magnifierOffered;
    {
        const QSignalBlocker blocker(m_magnifierButton);
        m_magnifierButton->setChecked(m_magnifierOn);
    }
    // The cross in the magnifier shows where a click marks; the pointer would hide it.
    m_canvas->setCursor(m_magnifierOn ? Qt::BlankCursor : Qt::ArrowCursor);
    const QPoint mouse = viewport()->mapFromGlobal(QCursor::pos());
    if (m_magnifierOn && viewport()->rect().contains(mouse)) {
        m_magnifier->follow(mouse, m_scale.markAt(m_canvas->mapFrom(viewport(), mouse)),
                            m_scale.zoom());
        m_magnifier->show();
        m_magnifier->raise();
    } else {
        m_magnifier->hide();
    }
}

void PictureView::setMagnifierPower(int power)
{
    m_magnifier->setPower(power);
    const QSignalBlocker blocker(m_magnifierPower);
    m_magnifierPower->setCurrentIndex(m_magnifier->power() - PictureMagnifier::kMinPower);
}

// ---- The mouse ----

void PictureView::canvasPressed(QMouseEvent *event)
{
    const bool pan =
        event->button() == Qt::MiddleButton ||
        (event->button() == Qt::LeftButton && event->modifiers() & Qt::ControlModifier);
    if (pan) {
        m_panFrom = event->globalPosition().toPoint();
        m_panScrollFrom = {horizontalScrollBar()->value(), verticalScrollBar()->value()};
        m_canvas->setCursor(Qt::ClosedHandCursor);
        return;
    }
    emit mousePressed(m_scale.markAt(event->position()), event->button());
}

void PictureView::canvasMoved(QMouseEvent *event)
{
    if (m_panFrom) {
        const QPoint moved = event->globalPosition().toPoint() - *m_panFrom;
        horizontalScrollBar()->setValue(m_panScrollFrom.x() - moved.x());
        verticalScrollBar()->setValue(m_panScrollFrom.y() - moved.y());
        return;
    }
    const ScreenPoint mark = m_scale.markAt(event->position());
    if (m_magnifierOn) {
        m_magnifier->follow(m_canvas->mapTo(viewport(), event->position().toPoint()), mark,
                            m_scale.zoom());
        m_magnifier->show();
        m_magnifier->raise();
    }
    emit mouseMoved(mark);
}

void PictureView::canvasReleased(QMouseEvent *event)
{
    if (m_panFrom) {
        m_panFrom.reset();
        m_canvas->setCursor(m_magnifierOn ? Qt::BlankCursor : Qt::ArrowCursor);
        return;
    }
    emit mouseReleased(m_scale.markAt(event->position()));
}

void PictureView::canvasWheel(QWheelEvent *event)
{
    const int notches = event->angleDelta().y() / 120;
    const QPoint anchor = m_canvas->mapTo(viewport(), event->position().toPoint());
    const QPoint scroll(horizontalScrollBar()->value(), verticalScrollBar()->value());
    const bool sameRun = m_wheelAnchor && m_wheelAnchor->at == anchor &&
                         m_wheelAnchor->zoom == m_scale.zoom() && m_wheelAnchor->scroll == scroll;
    const ScreenPoint point =
        sameRun ? m_wheelAnchor->point
                : m_scale.toTwips(QPointF(event->position()));
    for (int i = 0; i < std::abs(notches); ++i) {
        m_keepPoint = point;
        if (notches > 0)
            zoomIn(anchor);
        else
            zoomOut(anchor);
    }
    m_keepPoint.reset();
    m_wheelAnchor = WheelAnchor{anchor, point, m_scale.zoom(),
                                {horizontalScrollBar()->value(), verticalScrollBar()->value()}};
    // The point under the mouse stayed, but the view's zoom changed: so does the magnifier's.
    if (m_magnifierOn && m_magnifier->isVisible())
        m_magnifier->follow(anchor, m_scale.markAt(m_canvas->mapFrom(viewport(), anchor)),
                            m_scale.zoom());
    event->accept();
}

void PictureView::canvasLeft()
{
    m_magnifier->hide();
}

QWidget *PictureView::canvas() const
{
    return m_canvas;
}

} // namespace skelvin
