#pragma once

#include "core/capture/shared/CapturedFrame.h"
#include "core/common/Result.h"
#include "core/frames/FfmpegHandles.h"

#include <QImage>
#include <QSize>
#include <QString>

namespace skelvin {

// What the simulated camera's chip does to each picture its sensor saw, as a USB camera's own
// processor does before the picture leaves the camera: Motion JPEG ("mjpeg", every picture
// compressed on its own, 4:2:2 as USB cameras send it), YUYV 4:2:2 ("yuyv422"), or the raw
// picture ("rgb24", "bgr0"). The chip is the camera's: it never uses the recorder's encoders,
// and its cost is the camera's, not the program's.
class CameraChip
{
public:
    // True for the pixel formats the chip can deliver.
    static bool delivers(const QString &pixelFormat);
    // The picture format the sensor draws in for `pixelFormat` (the chip's input).
    static QImage::Format sensorFormat(const QString &pixelFormat);

    // Gets ready for pictures of `size` to be delivered as `pixelFormat`.
    Failure open(const QString &pixelFormat, QSize size);

    // The raw formats: a frame whose memory the sensor draws into directly (nothing for the
    // chip to do); null for the others or when out of memory.
    ffmpeg::Frame rawFrame() const;
    // The other formats: the sensor's picture (sensorFormat(), the size opened with) turned
    // into the frame or packet the camera hands over. False when out of memory.
    bool deliver(const QImage &sensor, CapturedFrame &frame, QString &error);

    bool raw() const { return m_raw; }

private:
    QString m_pixelFormat;
    QSize m_size;
    bool m_raw = true;
    int m_rawFormat = -1; // AVPixelFormat of a raw format
    ffmpeg::CodecContext m_jpeg;
    ffmpeg::ScaleContext m_scale;
    ffmpeg::Frame m_yuv; // the JPEG encoder's input, reused
    int64_t m_pictures = 0;
};

} // namespace skelvin
