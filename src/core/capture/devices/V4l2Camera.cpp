#include "core/capture/devices/V4l2Camera.h"

#include "core/capture/devices/DeviceErrors.h"

#include <cerrno>
#include <cmath>

namespace skelvin {

V4l2Camera::V4l2Camera(std::unique_ptr<V4l2Device> device, V4l2DeviceInfo info, QString name,
                       QByteArray ffmpegInput)
    : m_device(std::move(device)), m_info(std::move(info)), m_name(std::move(name)),
      m_ffmpegInput(std::move(ffmpegInput))
{
    if (m_info.inputs.size() > 1)
        m_device->currentInput(m_inputIndex);
}

V4l2Camera::~V4l2Camera()
{
    stop();
}

QStringList V4l2Camera::inputNames() const
{
    return m_info.inputs.size() > 1 ? m_info.inputs : QStringList();
}

Failure V4l2Camera::setInputIndex(int index)
{
    if (index < 0 || index >= std::max<qsizetype>(1, inputNames().size()))
        return QStringLiteral("%1 has no input %2").arg(m_name).arg(index);
    if (index == m_inputIndex)
        return std::nullopt;
    if (m_streaming)
        return QStringLiteral("The input of %1 cannot be changed while it delivers pictures")
            .arg(m_name);
    if (int error = m_device->setInput(index))
        return deviceErrorText(m_name, error);
    m_inputIndex = index;
    return std::nullopt;
}

FfmpegDeviceInput::Options V4l2Camera::inputOptions(const VideoFormat &format, int input)
{
    FfmpegDeviceInput::Options options = {
        {QStringLiteral("video_size"),
         QStringLiteral("%1x%2").arg(format.size.width()).arg(format.size.height())},
        {QStringLiteral("framerate"), QString::number(format.framesPerSecond, 'g', 10)},
        {QStringLiteral("input_format"), format.pixelFormat},
    };
    if (input >= 0)
        options.emplace_back(QStringLiteral("channel"), QString::number(input));
    return options;
}

bool V4l2Camera::offers(const VideoFormat &format) const
{
    for (const VideoFormatOffer &offer : m_info.formats) {
        if (offer.pixelFormat != format.pixelFormat || offer.size != format.size)
            continue;
        // A device that does not list its rates takes whatever rate it is asked for.
        if (offer.framesPerSecond.empty())
            return true;
        for (double fps : offer.framesPerSecond)
            if (std::abs(fps - format.framesPerSecond) < 0.01)
                return true;
    }
    return false;
}

Failure V4l2Camera::start(const VideoFormat &format)
{
    if (!offers(format))
        return QStringLiteral("%1 does not offer %2 pictures of %3 x %4 at %5 frames per second")
            .arg(m_name, format.pixelFormat)
            .arg(format.size.width())
            .arg(format.size.height())
            .arg(format.framesPerSecond);
    stop();
    std::lock_guard lock(m_streamMutex);
    const int input = m_info.inputs.size() > 1 ? m_inputIndex : -1;
    if (int error =
            m_input.open(m_ffmpegInput.constData(), m_info.path, inputOptions(format, input)))
        return ffmpegDeviceErrorText(m_name, error);

    const AVCodecParameters *parameters = m_input.stream()->codecpar;
    m_passPackets = parameters->codec_id == AV_CODEC_ID_MJPEG;
    if (!m_passPackets) {
        const AVCodec *codec = avcodec_find_decoder(parameters->codec_id);
        ffmpeg::CodecContext decoder(codec ? avcodec_alloc_context3(codec) : nullptr);
        if (!decoder || avcodec_parameters_to_context(decoder.get(), parameters) < 0 ||
            avcodec_open2(decoder.get(), codec, nullptr) < 0) {
            m_input.close();
            return QStringLiteral("The pictures of %1 in %2 cannot be decoded")
                .arg(m_name, format.pixelFormat);
        }
        m_decoder = std::move(decoder);
    }
    // A read waits about one frame interval, and never less than a slow camera needs.
    m_frameWaitMs =
        std::clamp(int(std::lround(1000.0 / std::max(1.0, format.framesPerSecond))), 20, 200);
    m_streaming = true;
    return std::nullopt;
}

void V4l2Camera::stop()
{
    m_input.interrupt();
    std::lock_guard lock(m_streamMutex);
    m_streaming = false;
    m_decoder.reset();
    m_input.close();
}

void V4l2Camera::interrupt()
{
    m_input.interrupt();
}

ReadStatus V4l2Camera::deliverDecoded(CapturedFrame &frame, QString &error)
{
    ffmpeg::Frame picture(av_frame_alloc());
    const int result = avcodec_receive_frame(m_decoder.get(), picture.get());
    if (result == AVERROR(EAGAIN))
        return ReadStatus::Again;
    if (result < 0) {
        error = QStringLiteral("The pictures of %1 cannot be decoded").arg(m_name);
        return ReadStatus::Ended;
    }
    frame.timestampUs = m_input.timestampUs(picture->best_effort_timestamp);
    frame.picture = std::move(picture);
    frame.packet.reset();
    frame.packetCodec.clear();
    return ReadStatus::Delivered;
}

ReadStatus V4l2Camera::read(CapturedFrame &frame, QString &error)
{
    std::lock_guard lock(m_streamMutex);
    if (!m_streaming) {
        error = QStringLiteral("%1 is not started").arg(m_name);
        return ReadStatus::Ended;
    }
    // A decoder that holds pictures back gives them before the next packet is read.
    if (m_decoder && deliverDecoded(frame, error) == ReadStatus::Delivered)
        return ReadStatus::Delivered;

    ffmpeg::Packet packet(av_packet_alloc());
    const int result = m_input.read(packet.get(), m_frameWaitMs);
    // A short or damaged picture (a glitch on the USB bus) is one frame dropped, not the end.
    if (result == AVERROR(EAGAIN) || result == AVERROR_INVALIDDATA ||
        (result >= 0 && packet->size <= 0))
        return ReadStatus::Again;
    if (result < 0) {
        error = ffmpegDeviceErrorText(m_name, result);
        m_streaming = false;
        return ReadStatus::Ended;
    }
    if (m_passPackets) {
        frame.timestampUs = m_input.timestampUs(packet->pts);
        frame.packet = std::move(packet);
        frame.packetCodec = QStringLiteral("mjpeg");
        frame.picture.reset();
        return ReadStatus::Delivered;
    }
    if (avcodec_send_packet(m_decoder.get(), packet.get()) < 0)
        return ReadStatus::Again; // a damaged picture is dropped; the next one may be whole
    return deliverDecoded(frame, error);
}

std::vector<DeviceSetting> V4l2Camera::controls() const
{
    std::vector<V4l2Control> found;
    m_device->controls(found);
    std::vector<DeviceSetting> settings;
    settings.reserve(found.size());
    for (V4l2Control &control : found)
        settings.push_back(std::move(control.setting));
    return settings;
}

Failure V4l2Camera::setControl(const QString &id, int value)
{
    std::vector<V4l2Control> found;
    if (int error = m_device->controls(found))
        return deviceErrorText(m_name, error);
    const auto control = std::find_if(found.begin(), found.end(),
                                      [&](const V4l2Control &c) { return c.setting.id == id; });
    if (control == found.end())
        return QStringLiteral("%1 has no control \"%2\"").arg(m_name, id);
    const DeviceSetting &setting = control->setting;
    if (setting.readOnly)
        return QStringLiteral("%1 cannot be changed now").arg(setting.name);
    const bool menuGap = setting.kind == DeviceSetting::Kind::Menu && value >= setting.minimum &&
                         value <= setting.maximum &&
                         setting.menuItems.value(value - setting.minimum).isEmpty();
    if (value < setting.minimum || value > setting.maximum || menuGap)
        return QStringLiteral("%1 is not a value %2 can take (%3 to %4)")
            .arg(value)
            .arg(setting.name)
            .arg(setting.minimum)
            .arg(setting.maximum);
    if (int error = m_device->setControl(control->controlId, value))
        return error == EACCES ? QStringLiteral("%1 cannot be changed now").arg(setting.name)
                               : deviceErrorText(m_name, error);
    return std::nullopt;
}

} // namespace skelvin
