#include "core/capture/VideoPump.h"

#include "core/capture/recording/AviRecorder.h"
#include "core/capture/recording/PictureConversion.h"
#include "core/common/WorkerThread.h"

namespace skelvin {

namespace {

int64_t steadyNowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

} // namespace

VideoPump::VideoPump(VideoSource &source, Handlers handlers)
    : m_source(source), m_handlers(std::move(handlers)), m_preview([this] {
          if (m_handlers.previewReady)
              m_handlers.previewReady();
      })
{
}

VideoPump::~VideoPump()
{
    stop();
}

void VideoPump::start()
{
    if (m_running.exchange(true))
        return;
    m_thread = std::thread([this] { run(); });
}

void VideoPump::stop()
{
    m_running = false;
    m_source.interrupt();
    if (m_thread.joinable())
        m_thread.join();
}

void VideoPump::requestFormat(const VideoFormat &format)
{
    {
        std::lock_guard lock(m_formatMutex);
        m_pendingFormat = format;
    }
    m_source.interrupt();
}

void VideoPump::setRecorder(AviRecorder *recorder)
{
    std::lock_guard lock(m_recorderMutex);
    m_pendingRecorder = recorder;
    if (!recorder)
        m_recorder = nullptr;
}

void VideoPump::setPictureStep(PictureStep step)
{
    std::lock_guard lock(m_recorderMutex);
    m_pictureStep = std::move(step);
    ++m_stepGeneration;
}

void VideoPump::setPreview(bool on, QSize size)
{
    m_preview.setPreview(on, size);
}

QImage VideoPump::takePreview()
{
    return m_preview.take();
}

void VideoPump::run()
{
    becomeWorkerThread("capture", 0);
    while (m_running) {
        std::optional<VideoFormat> format;
        {
            std::lock_guard lock(m_formatMutex);
            format.swap(m_pendingFormat);
        }
        if (format) {
            m_source.stop();
            if (const Failure failed = m_source.start(*format)) {
                if (m_handlers.formatFailed)
                    m_handlers.formatFailed(*failed);
            }
        }
        {
            std::lock_guard lock(m_recorderMutex);
            if (m_pendingRecorder) {
                // The recording's first frame is the next one read.
                m_source.recordingStarted();
                m_recorder = std::exchange(m_pendingRecorder, nullptr);
            }
        }
        CapturedFrame frame;
        QString error;
        const ReadStatus status = m_source.read(frame, error);
        if (status == ReadStatus::Again)
            continue;
        if (status == ReadStatus::Ended) {
            if (m_running && m_handlers.deviceEnded)
                m_handlers.deviceEnded(error);
            break;
        }
        handleFrame(frame, steadyNowUs());
    }
}

const AVFrame *VideoPump::pictureOf(CapturedFrame &frame, PacketDecoder &decoder, QString &error)
{
    if (frame.picture)
        return frame.picture.get();
    if (!frame.packet)
        return nullptr;
    Result<const AVFrame *> decoded = decoder.decode(*frame.packet, frame.packetCodec);
    if (!decoded) {
        error = decoded.error();
        return nullptr;
    }
    return decoded.value();
}

void VideoPump::handleFrame(CapturedFrame &frame, int64_t arrivalUs)
{
    QString error;
    PictureStep step;
    int generation = 0;
    {
        std::lock_guard lock(m_recorderMutex);
        step = m_pictureStep;
        generation = m_stepGeneration;
    }
    if (step) {
        if (const AVFrame *picture = pictureOf(frame, m_decoder, error)) {
            if (ffmpeg::Frame changed = step(*picture)) {
                changed->pts = picture->pts;
                frame.picture = std::move(changed);
                frame.packet.reset();
            }
        }
    }
    {
        std::lock_guard lock(m_newestMutex);
        m_newestPicture.reset(frame.picture ? av_frame_clone(frame.picture.get()) : nullptr);
        m_newestPacket.reset(frame.packet ? av_packet_clone(frame.packet.get()) : nullptr);
        m_newestCodec = frame.packetCodec;
        m_newestGeneration = generation;
    }

    // Every frame goes to the preview; its thread makes a picture of the newest.
    m_preview.offer(frame, arrivalUs);

    std::lock_guard lock(m_recorderMutex);
    if (m_recorder)
        m_recorder->addFrame(frame);
}

bool VideoPump::hasNewestPicture()
{
    int current = 0;
    {
        std::lock_guard lock(m_recorderMutex);
        current = m_stepGeneration;
    }
    std::lock_guard lock(m_newestMutex);
    return m_newestGeneration == current && (m_newestPicture || m_newestPacket);
}

Result<QImage> VideoPump::newestPicture()
{
    ffmpeg::Frame picture;
    ffmpeg::Packet packet;
    QString codec;
    int current = 0;
    {
        std::lock_guard lock(m_recorderMutex);
        current = m_stepGeneration;
    }
    {
        std::lock_guard lock(m_newestMutex);
        // A frame kept before the effect changed does not show what the operator chose.
        if (m_newestGeneration != current)
            return Result<QImage>::failure(
                QStringLiteral("No picture has come from the camera yet"));
        picture.reset(m_newestPicture ? av_frame_clone(m_newestPicture.get()) : nullptr);
        packet.reset(m_newestPacket ? av_packet_clone(m_newestPacket.get()) : nullptr);
        codec = m_newestCodec;
    }
    const AVFrame *source = picture.get();
    PacketDecoder decoder;
    if (!source && packet) {
        Result<const AVFrame *> decoded = decoder.decode(*packet, codec);
        if (!decoded)
            return Result<QImage>::failure(decoded.error());
        source = decoded.value();
    }
    if (!source)
        return Result<QImage>::failure(QStringLiteral("No picture has come from the camera yet"));
    ffmpeg::ScaleContext scale;
    QImage image = pictureToImage(*source, QSize(source->width, source->height), scale);
    if (image.isNull())
        return Result<QImage>::failure(QStringLiteral("The camera's picture cannot be converted"));
    return image;
}

} // namespace skelvin
