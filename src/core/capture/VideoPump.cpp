#include "core/capture/VideoPump.h"

#include "core/capture/recording/AviRecorder.h"
#include "core/capture/recording/PictureConversion.h"

namespace skelvin {

namespace {

using Clock = std::chrono::steady_clock;

// The preview is drawn at most this often, and redrawn at least this often when the screen
// has not fetched the picture (so a slow screen still sees a fresh one).
constexpr auto kPreviewInterval = std::chrono::milliseconds(30);
constexpr auto kPreviewRefresh = std::chrono::milliseconds(200);

} // namespace

VideoPump::VideoPump(VideoSource &source, Handlers handlers)
    : m_source(source), m_handlers(std::move(handlers))
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
    std::lock_guard lock(m_previewMutex);
    m_previewOn = on;
    m_previewSize = size;
    if (!on)
        m_mailbox = QImage();
}

QImage VideoPump::takePreview()
{
    std::lock_guard lock(m_previewMutex);
    return std::exchange(m_mailbox, QImage());
}

void VideoPump::run()
{
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
        handleFrame(frame);
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

void VideoPump::handleFrame(CapturedFrame &frame)
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

    bool previewDue = false;
    {
        std::lock_guard lock(m_previewMutex);
        const auto since = Clock::now() - m_lastPreview;
        previewDue = m_previewOn && !m_previewSize.isEmpty() && since >= kPreviewInterval &&
                     (m_mailbox.isNull() || since >= kPreviewRefresh);
    }
    if (previewDue) {
        if (const AVFrame *picture = pictureOf(frame, m_decoder, error))
            updatePreview(*picture);
    }

    std::lock_guard lock(m_recorderMutex);
    if (m_recorder)
        m_recorder->addFrame(frame);
}

void VideoPump::updatePreview(const AVFrame &picture)
{
    QSize box;
    {
        std::lock_guard lock(m_previewMutex);
        box = m_previewSize;
    }
    QImage image = pictureToImage(picture, fittedSize(QSize(picture.width, picture.height), box),
                                  m_previewScale);
    if (image.isNull())
        return;
    bool wasEmpty = false;
    {
        std::lock_guard lock(m_previewMutex);
        if (!m_previewOn)
            return;
        wasEmpty = m_mailbox.isNull();
        m_mailbox = std::move(image);
        m_lastPreview = Clock::now();
    }
    if (wasEmpty && m_handlers.previewReady)
        m_handlers.previewReady();
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
            return Result<QImage>::failure(QStringLiteral("No picture has come from the camera yet"));
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
