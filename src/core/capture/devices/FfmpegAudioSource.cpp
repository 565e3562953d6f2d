#include "core/capture/devices/FfmpegAudioSource.h"

#include "core/capture/devices/DeviceErrors.h"

namespace skelvin {

namespace {
constexpr int kReadWaitMs = 50;
}

FfmpegAudioSource::FfmpegAudioSource(SoundDevice device) : m_device(std::move(device)) {}

FfmpegAudioSource::~FfmpegAudioSource()
{
    stop();
}

Failure FfmpegAudioSource::start(int sampleRate, int channels, int bitsPerSample)
{
    if (sampleRate < 1000 || sampleRate > 192000 || (channels != 1 && channels != 2) ||
        (bitsPerSample != 8 && bitsPerSample != 16))
        return QStringLiteral("%1 cannot record %2 samples per second, %3 bit, %4 channels")
            .arg(m_device.name)
            .arg(sampleRate)
            .arg(bitsPerSample)
            .arg(channels);
    stop();
    std::lock_guard lock(m_streamMutex);
    const FfmpegDeviceInput::Options options = {
        {QStringLiteral("sample_rate"), QString::number(sampleRate)},
        {QStringLiteral("channels"), QString::number(channels)},
    };
    if (int error = m_input.open(m_device.formatName.toLatin1().constData(), m_device.url, options))
        return ffmpegDeviceErrorText(m_device.name, error);
    const AVCodecParameters *parameters = m_input.stream()->codecpar;
    if (parameters->codec_id != AV_CODEC_ID_PCM_S16LE || parameters->sample_rate != sampleRate ||
        parameters->ch_layout.nb_channels != channels) {
        m_input.close();
        return QStringLiteral("%1 cannot record %2 samples per second, %3 channels")
            .arg(m_device.name)
            .arg(sampleRate)
            .arg(channels);
    }
    m_bitsPerSample = bitsPerSample;
    return std::nullopt;
}

void FfmpegAudioSource::stop()
{
    m_input.interrupt();
    std::lock_guard lock(m_streamMutex);
    m_input.close();
}

ReadStatus FfmpegAudioSource::read(CapturedSound &sound, QString &error)
{
    std::lock_guard lock(m_streamMutex);
    if (!m_input.isOpen()) {
        error = QStringLiteral("%1 is not started").arg(m_device.name);
        return ReadStatus::Ended;
    }
    ffmpeg::Packet packet(av_packet_alloc());
    const int result = m_input.read(packet.get(), kReadWaitMs);
    if (result == AVERROR(EAGAIN))
        return ReadStatus::Again;
    if (result < 0) {
        error = ffmpegDeviceErrorText(m_device.name, result);
        m_input.close();
        return ReadStatus::Ended;
    }
    const QByteArray samples(reinterpret_cast<const char *>(packet->data), packet->size);
    sound.pcm = m_bitsPerSample == 8 ? toUnsigned8(samples) : samples;
    sound.timestampUs = m_input.timestampUs(packet->pts);
    return ReadStatus::Delivered;
}

QByteArray FfmpegAudioSource::toUnsigned8(const QByteArray &signed16)
{
    QByteArray out(signed16.size() / 2, Qt::Uninitialized);
    const auto *in = reinterpret_cast<const uint8_t *>(signed16.constData());
    for (qsizetype i = 0; i < out.size(); ++i)
        out[i] = char(uint8_t(in[2 * i + 1] ^ 0x80)); // high byte, sign flipped
    return out;
}

} // namespace skelvin
