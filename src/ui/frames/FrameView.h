#pragma once

#include <QImage>
#include <QWidget>

namespace skelvin {

// One video frame on screen: scaled to fit the view with its aspect kept (black around it), or
// at a fixed zoom of 1:1 or 2:1 where the view takes the picture's size (inside a scroll area).
class FrameView : public QWidget
{
    Q_OBJECT

public:
    enum class Zoom { Fit, Actual, Double };

    explicit FrameView(QWidget *parent = nullptr);

    void setFrame(int frame, const QImage &image);
    void clear();
    int frame() const { return m_frame; }
    const QImage &image() const { return m_image; }

    void setZoom(Zoom zoom);
    Zoom zoom() const { return m_zoom; }
    // Where the picture stands in the view.
    QRect pictureRect() const;

    QSize sizeHint() const override;

signals:
    // A frame has been painted on screen.
    void painted(int frame);
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    QImage m_image; // in a format the painter draws without converting
    int m_frame = -1;
    Zoom m_zoom = Zoom::Fit;
};

} // namespace skelvin
