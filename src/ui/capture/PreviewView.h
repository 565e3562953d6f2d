#pragma once

#include <QImage>
#include <QWidget>

namespace skelvin {

class CaptureDevice;

// The live picture of the capture control: the newest preview picture, scaled to fit with its
// aspect kept on a dark ground. It fetches a picture only when the control says a new one is
// there and paints at the screen's pace, so a slow paint never holds up a recording.
class PreviewView : public QWidget
{
    Q_OBJECT

public:
    explicit PreviewView(CaptureDevice &device, QWidget *parent = nullptr);

    const QImage &picture() const { return m_picture; }
    QSize sizeHint() const override { return {960, 540}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void takePicture();

    CaptureDevice &m_device;
    QImage m_picture;
};

} // namespace skelvin
