#include "SyntheticCamera.h"

#include "core/capture/recording/RecorderHandles.h"
#include "core/frames/TestVideo.h"

#include <thread>

namespace skelvin::test {

namespace {

using Clock = std::chrono::steady_clock;

ffmpeg::Frame pictureFrame(QSize size, int n)
{
    const QImage image = stampedPicture(size.width(), size.height(), n);
    ffmpeg::Frame frame(av_frame_alloc());
    frame->format = AV_PIX_FMT_RGB24;
    frame->width = size.width();
    frame->height = size.height();
    av_frame_get_buffer(frame.get(), 0);
    for (int y = 0; y < size.height(); ++y)
        std::copy_n(image.constScanLine(y), size.width() * 3,
                    frame->data[0] + y * frame->linesize[0]);
    return frame;
}

class SyntheticCamera : public VideoSource
{
public:
    explicit SyntheticCamera(const SyntheticCameraScript &script) : m_script(script) {}

    QString name() const override { return m_script.name; }
    std::vector<VideoFormatOffer> formats() const override { return m_script.offers; }
    Failure start(const VideoFormat &format) override
    {
        if (!m_script.startFailure.isEmpty())
            return m_script.startFailure;
        m_format = format;
        m_next = 0;
        m_start = Clock::now();
        return std::nullopt;
    }
    void stop() override {}
    void recordingStarted() override
    {
        if (m_script.recordingStarts)
            ++*m_script.recordingStarts;
    }
    ReadStatus read(CapturedFrame &frame, QString &error) override
    {
        if (m_script.endAfterFrames >= 0 && m_next >= m_script.endAfterFrames) {
            error = QStringLiteral("the camera was unplugged");
            return ReadStatus::Ended;
        }
        while (m_script.missing.contains(m_next))
            ++m_next;
        const auto interval = std::chrono::duration<double>(1.0 / m_format.framesPerSecond);
        const auto due = m_start + std::chrono::duration_cast<Clock::duration>(interval * m_next);
        std::this_thread::sleep_until(due); // a camera delivers in real time
        const int n = m_next++;
        frame.timestampUs = 1'000'000 + std::llround(1e6 * n / m_format.framesPerSecond);
        if (m_script.motionJpeg) {
            const QByteArray jpeg = syntheticJpeg(m_format.size, n);
            frame.packet.reset(av_packet_alloc());
            av_new_packet(frame.packet.get(), int(jpeg.size()));
            std::copy_n(jpeg.constData(), jpeg.size(), frame.packet->data);
            frame.packet->flags |= AV_PKT_FLAG_KEY;
            frame.packetCodec = QStringLiteral("mjpeg");
        } else {
            frame.picture = pictureFrame(m_format.size, n);
        }
        if (m_script.delivered)
            ++*m_script.delivered;
        return ReadStatus::Delivered;
    }

private:
    SyntheticCameraScript m_script;
    VideoFormat m_format;
    int m_next = 0;
    Clock::time_point m_start;
};

} // namespace

std::vector<VideoFormatOffer> offersOf(const QString &pixelFormat, const std::vector<QSize> &sizes,
                                       const std::vector<double> &rates)
{
    std::vector<VideoFormatOffer> offers;
    for (const QSize size : sizes)
        offers.push_back({pixelFormat, pixelFormat.toUpper(), size, rates});
    return offers;
}

std::unique_ptr<VideoSource> makeSyntheticCamera(const SyntheticCameraScript &script)
{
    return std::make_unique<SyntheticCamera>(script);
}

QByteArray syntheticJpeg(QSize size, int n)
{
    const AVCodec *codec = avcodec_find_encoder(AV_CODEC_ID_MJPEG);
    ffmpeg::CodecContext context(avcodec_alloc_context3(codec));
    context->width = size.width();
    context->height = size.height();
    context->pix_fmt = AV_PIX_FMT_YUVJ422P;
    context->time_base = AVRational{1, 30};
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return {};
    ffmpeg::Frame rgb = pictureFrame(size, n);
    ffmpeg::Frame yuv(av_frame_alloc());
    yuv->format = AV_PIX_FMT_YUVJ422P;
    yuv->width = size.width();
    yuv->height = size.height();
    av_frame_get_buffer(yuv.get(), 0);
    ffmpeg::ScaleContext scale(sws_getContext(size.width(), size.height(), AV_PIX_FMT_RGB24,
                                              size.width(), size.height(), AV_PIX_FMT_YUVJ422P,
                                              SWS_BICUBIC, nullptr, nullptr, nullptr));
    sws_scale(scale.get(), rgb->data, rgb->linesize, 0, size.height(), yuv->data, yuv->linesize);
    yuv->pts = n;
    ffmpeg::Packet packet(av_packet_alloc());
    if (avcodec_send_frame(context.get(), yuv.get()) < 0 ||
        avcodec_receive_packet(context.get(), packet.get()) < 0)
        return {};
    return QByteArray(reinterpret_cast<const char *>(packet->data), packet->size);
}

std::unique_ptr<VideoSource> SyntheticCatalog::openVideo(int index, QString &error)
{
    if (index < 0 || index >= int(cameras.size())) {
        error = QStringLiteral("no camera %1").arg(index);
        return nullptr;
    }
    return cameras[std::size_t(index)]();
}

void SyntheticCatalog::add(const QString &name, std::function<std::unique_ptr<VideoSource>()> make)
{
    cameras.push_back(std::move(make));
    cameraNames << name;
    emit videoDeviceChanged(0, int(cameras.size()) - 1, name);
}

void SyntheticCatalog::remove(int index)
{
    const QString name = cameraNames.takeAt(index);
    cameras.erase(cameras.begin() + index);
    emit videoDeviceChanged(1, index, name);
}

} // namespace skelvin::test
