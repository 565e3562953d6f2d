#pragma once

#include <QImage>
#include <QWidget>

#include <cstdint>

namespace skelvin {

class CaptureDevice;

// The live picture of the capture control: the newest preview picture, fitted with its aspect
// kept on a dark ground. It fetches a picture only when the control says a new one is there
// and paints at the screen's pace (several pictures between two paints: only the newest is
// painted), so a slow paint never holds up a recording. The control makes each picture at the
// view's own size in device pixels, so painting is a plain copy, never a scaling.
class PreviewView : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewView(CaptureDevice &device, QWidget *parent = nullptr);

    const QImage &picture() const { return m_picture; }
    QSize sizeHint() const override { return {960, 540}; }

signals:
    // A picture not painted before was painted: how long after its frame came from the camera
    // (microseconds on the steady clock; -1 when the picture does not say).
    void pictureShown(qint64 captureToPaintUs);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void takePicture();

    CaptureDevice &m_device;
    QImage m_picture;
    bool m_pictureShown = true;
};

} // namespace skelvin
