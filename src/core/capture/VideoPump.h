#pragma once

#include "core/capture/PreviewWorker.h"
#include "core/capture/devices/VideoSource.h"
#include "core/capture/recording/PacketDecoder.h"
#include "core/capture/shared/CaptureTypes.h"
#include "core/common/Result.h"

#include <QImage>
#include <QSize>
#include <QString>

#include <atomic>
#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace skelvin {

class AviRecorder;

// A picture step between the camera and everything that takes its frames (an effect).
// Called on the device thread; returns the picture to use instead, or null to keep it.
using PictureStep = std::function<ffmpeg::Frame(const AVFrame &picture)>;

// The control's device thread ("capture"): reads the connected source in a loop and hands
// every frame to the recording (when one is attached), keeps the newest frame for still grabs,
// and hands every frame on to the preview's own thread (`PreviewWorker`), which leaves the
// newest picture, scaled to the preview size, in a one-picture mailbox. The thread only passes
// frames on (no decoding, scaling or compressing unless an effect is chosen), and keeps the
// normal priority while the encoder and the preview run below it, so on a busy machine the
// camera is read first. Format changes are carried out here between two reads, so the
// interface thread never waits on a device.
class VideoPump
{
public:
    struct Handlers
    {
        std::function<void()> previewReady;                // a picture is in an empty mailbox
        std::function<void(const QString &)> deviceEnded;  // the source failed or vanished
        std::function<void(const QString &)> formatFailed; // a format change did not take
    };

    VideoPump(VideoSource &source, Handlers handlers);
    ~VideoPump();
    VideoPump(const VideoPump &) = delete;
    VideoPump &operator=(const VideoPump &) = delete;

    // Starts the device thread; the source is already started.
    void start();
    // Ends the thread. The source is left as it is.
    void stop();

    // Restarts the source in `format` before the next read.
    void requestFormat(const VideoFormat &format);

    // Attaches a recording: the source is told a recording starts, then every frame from the
    // next one on goes to it. Null detaches; when this returns the thread no longer uses the
    // recorder.
    void setRecorder(AviRecorder *recorder);

    void setPictureStep(PictureStep step);

    void setPreview(bool on, QSize size);
    QImage takePreview();

    // The newest frame as a 24-bit picture; fails when none has come yet.
    Result<QImage> newestPicture();
    // Whether a picture has come from the camera since the start (or the last effect change).
    bool hasNewestPicture();

private:
    void run();
    void handleFrame(CapturedFrame &frame, int64_t arrivalUs);
    const AVFrame *pictureOf(CapturedFrame &frame, PacketDecoder &decoder, QString &error);

    VideoSource &m_source;
    Handlers m_handlers;
    std::thread m_thread;
    std::atomic<bool> m_running{false};

    std::mutex m_formatMutex;
    std::optional<VideoFormat> m_pendingFormat;

    std::mutex m_recorderMutex;
    AviRecorder *m_recorder = nullptr;
    AviRecorder *m_pendingRecorder = nullptr;
    PictureStep m_pictureStep;
    // Counts effect changes; a kept frame made before the last change is not grabbed.
    int m_stepGeneration = 0;

    PreviewWorker m_preview;
    PacketDecoder m_decoder; // for effects

    // The newest frame, for still grabs.
    std::mutex m_newestMutex;
    ffmpeg::Frame m_newestPicture;
    ffmpeg::Packet m_newestPacket;
    QString m_newestCodec;
    int m_newestGeneration = -1;
};

} // namespace skelvin
