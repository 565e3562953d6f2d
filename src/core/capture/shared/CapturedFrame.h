#pragma once

#include "core/frames/FfmpegHandles.h"

#include <QByteArray>
#include <QString>

#include <cstdint>

namespace skelvin {

// One frame as a video source delivers it: a picture in any pixel format, or, for a camera
// that compresses by itself (Motion JPEG), the compressed packet as it came. Exactly one of the
// two is set. The time stamp is the device's own, in microseconds on a clock that only runs
// forward; the recorder rebases it to the first frame of a recording.
struct CapturedFrame
{
    ffmpeg::Frame picture;
    ffmpeg::Packet packet;
    QString packetCodec;      // FFmpeg codec name of `packet`, e.g. "mjpeg"
    int64_t timestampUs = 0;
};

// A new reference to the same picture or packet: the camera's memory is shared, not copied.
inline CapturedFrame sharedFrame(const CapturedFrame &frame)
{
    CapturedFrame copy;
    if (frame.picture)
        copy.picture.reset(av_frame_clone(frame.picture.get()));
    if (frame.packet)
        copy.packet.reset(av_packet_clone(frame.packet.get()));
    copy.packetCodec = frame.packetCodec;
    copy.timestampUs = frame.timestampUs;
    return copy;
}

// One block of sound: interleaved PCM in the format the source was started with.
struct CapturedSound
{
    QByteArray pcm;
    int64_t timestampUs = 0;
};

// What a blocking read on the capture thread gave.
enum class ReadStatus {
    Delivered, // the frame or sound is filled in
    Again,     // nothing within the wait (or interrupted): ask again
    Ended      // the device is gone or failed; the reason is in the error text
};

} // namespace skelvin
