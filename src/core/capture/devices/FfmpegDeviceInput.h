#pragma once

#include "core/frames/FfmpegHandles.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <utility>
#include <vector>

namespace skelvin {

// One of FFmpeg's input devices (a camera through "video4linux2", a sound card through "alsa"
// or "pulse") opened without blocking, so that a read waits only as long as it is asked to and
// `interrupt` ends a wait from any thread. A device that stops delivering therefore never
// holds the capture thread, and stopping never waits on a device.
class FfmpegDeviceInput
{
public:
    using Options = std::vector<std::pair<QString, QString>>;

    // Makes FFmpeg's input and output devices known; safe to call any number of times.
    static void registerDevices();

    // 0, or FFmpeg's error code. Opening gives up after `openTimeoutMs`.
    int open(const char *formatName, const QString &url, const Options &options,
             int openTimeoutMs = 5000);
    void close();
    bool isOpen() const { return bool(m_context); }
    AVFormatContext *context() const { return m_context.get(); }
    AVStream *stream() const { return m_context ? m_context->streams[0] : nullptr; }

    // Waits at most `waitMs` for the next packet: 0 when one came, AVERROR(EAGAIN) when none
    // came in time or the wait was interrupted, another error when the device failed.
    int read(AVPacket *packet, int waitMs);
    void interrupt() { m_interrupted = true; }

    // The packet's time stamp in microseconds.
    int64_t timestampUs(int64_t pts) const;

private:
    static int interruptCallback(void *opaque);

    ffmpeg::FormatInput m_context;
    std::atomic<bool> m_interrupted{false};
    std::atomic<int64_t> m_openDeadlineUs{0};
};

} // namespace skelvin
