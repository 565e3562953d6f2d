#include "core/capture/AudioMonitor.h"

#include "core/capture/devices/FfmpegDeviceInput.h"
#include "core/capture/devices/SoundDevices.h"
#include "core/frames/FfmpegHandles.h"

extern "C" {
#include <libavutil/channel_layout.h>
}

namespace skelvin {

AudioMonitor::AudioMonitor(std::function<bool()> hasOutput) : m_hasOutput(std::move(hasOutput))
{
    if (!m_hasOutput)
        m_hasOutput = [] { return SoundDevices::hasOutput(); };
}

AudioMonitor::~AudioMonitor()
{
    stop();
}

int AudioMonitor::openOutput(const char *formatName, const char *url, int sampleRate, int channels,
                             int bitsPerSample)
{
    AVFormatContext *raw = nullptr;
    if (int error = avformat_alloc_output_context2(&raw, nullptr, formatName, url); error < 0)
        return error;
    ffmpeg::FormatOutput output(raw);
    output->flags |= AVFMT_FLAG_NONBLOCK;
    AVStream *stream = avformat_new_stream(output.get(), nullptr);
    if (!stream)
        return AVERROR(ENOMEM);
    AVCodecParameters *parameters = stream->codecpar;
    parameters->codec_type = AVMEDIA_TYPE_AUDIO;
    parameters->codec_id = bitsPerSample == 8 ? AV_CODEC_ID_PCM_U8 : AV_CODEC_ID_PCM_S16LE;
    parameters->sample_rate = sampleRate;
    av_channel_layout_default(&parameters->ch_layout, channels);
    stream->time_base = AVRational{1, sampleRate};
    if (int error = avformat_write_header(output.get(), nullptr); error < 0)
        return error;
    m_output = std::move(output);
    return 0;
}

Failure AudioMonitor::start(int sampleRate, int channels, int bitsPerSample)
{
    stop();
    if (!m_hasOutput())
        return kNoSoundOutputText;
    if (sampleRate <= 0 || (channels != 1 && channels != 2) ||
        (bitsPerSample != 8 && bitsPerSample != 16))
        return QStringLiteral(
                   "Sound of %1 samples per second, %2 bit, %3 channels cannot be played")
            .arg(sampleRate)
            .arg(bitsPerSample)
            .arg(channels);
    FfmpegDeviceInput::registerDevices();
    std::lock_guard lock(m_mutex);
    if (openOutput("pulse", "default", sampleRate, channels, bitsPerSample) < 0 &&
        openOutput("alsa", "default", sampleRate, channels, bitsPerSample) < 0)
        return kNoSoundOutputText;
    m_bytesPerFrame = channels * bitsPerSample / 8;
    m_samplesPlayed = 0;
    return std::nullopt;
}

void AudioMonitor::stop()
{
    std::lock_guard lock(m_mutex);
    if (m_output)
        av_write_trailer(m_output.get());
    m_output.reset();
}

bool AudioMonitor::playing() const
{
    std::lock_guard lock(m_mutex);
    return bool(m_output);
}

void AudioMonitor::play(const QByteArray &pcm)
{
    std::lock_guard lock(m_mutex);
    if (!m_output || pcm.size() < m_bytesPerFrame)
        return;
    ffmpeg::Packet packet(av_packet_alloc());
    const int whole = int(pcm.size() / m_bytesPerFrame) * m_bytesPerFrame;
    if (!packet || av_new_packet(packet.get(), whole) < 0)
        return;
    std::memcpy(packet->data, pcm.constData(), size_t(whole));
    packet->pts = packet->dts = m_samplesPlayed;
    packet->duration = whole / m_bytesPerFrame;
    packet->stream_index = 0;
    m_samplesPlayed += packet->duration;
    // EAGAIN (no room in the output) drops the block; so does any other failure of the output.
    av_write_frame(m_output.get(), packet.get());
}

} // namespace skelvin
