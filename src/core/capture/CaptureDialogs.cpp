#include "core/capture/CaptureDialogs.h"

#include "core/capture/CaptureControl.h"
#include "core/capture/devices/VideoSource.h"

namespace skelvin {

bool CaptureDialogs::has(int code, const VideoSource *source) const
{
    switch (code & ~capture_dialog::kEffectFlag) {
    case capture_dialog::kVideoSource:
        return source != nullptr;
    case capture_dialog::kVideoCompression:
        return compressorHasSettings(m_control.VideoCompressor());
    case capture_dialog::kAudioFormat:
        return true;
    default:
        return false;
    }
}

std::vector<DeviceSetting> CaptureDialogs::settings(int code, const VideoSource *source) const
{
    std::vector<DeviceSetting> settings;
    const auto integer = [&](const QString &id, const QString &name, int minimum, int maximum,
                             int step, int defaultValue, int value) {
        DeviceSetting s;
        s.id = id;
        s.name = name;
        s.minimum = minimum;
        s.maximum = maximum;
        s.step = step;
        s.defaultValue = defaultValue;
        s.value = value;
        settings.push_back(s);
    };
    const int chosen = m_control.VideoCompressor();
    switch (code & ~capture_dialog::kEffectFlag) {
    case capture_dialog::kVideoSource:
        if (source) {
            settings = source->controls();
            DeviceSetting described;
            described.id = QStringLiteral("format");
            described.name = QStringLiteral("Format");
            described.kind = DeviceSetting::Kind::Menu;
            described.menuItems << m_control.formatDescription();
            described.readOnly = true;
            settings.push_back(described);
        }
        break;
    case capture_dialog::kVideoCompression:
        if (compressorHasSettings(chosen))
            integer(QStringLiteral("quality"), QStringLiteral("Quality"), 1, 100, 1,
                    CompressorSettings().quality, m_compression.quality);
        if (chosen == compressor::kH264)
            integer(QStringLiteral("keyFrameInterval"), QStringLiteral("Key frame every"), 1, 300,
                    1, CompressorSettings().keyFrameInterval, m_compression.keyFrameInterval);
        break;
    case capture_dialog::kAudioFormat:
        integer(QStringLiteral("sampleRate"), QStringLiteral("Samples per second"), 8000, 48000, 1,
                44100, m_control.AudioSampleRate());
        integer(QStringLiteral("bitsPerSample"), QStringLiteral("Bits per sample"), 8, 16, 8, 16,
                m_control.AudioBitsPerSample());
        integer(QStringLiteral("channels"), QStringLiteral("Channels"), 1, 2, 1, 2,
                m_control.AudioChannels());
        break;
    default:
        break;
    }
    return settings;
}

CaptureFailure CaptureDialogs::set(int code, const QString &id, int value, VideoSource *source)
{
    const auto bad = [&]() -> CaptureFailure {
        return CaptureError{capture_error::kBadValue,
                            QStringLiteral("%1 cannot be set to %2").arg(id).arg(value)};
    };
    const int rate = m_control.AudioSampleRate();
    const int channels = m_control.AudioChannels();
    const int bits = m_control.AudioBitsPerSample();
    for (const DeviceSetting &s : settings(code, source)) {
        if (s.id != id)
            continue;
        if (s.readOnly || value < s.minimum || value > s.maximum)
            return bad();
        switch (code & ~capture_dialog::kEffectFlag) {
        case capture_dialog::kVideoSource:
            if (const Failure failed = source->setControl(id, value))
                return CaptureError{capture_error::kDeviceFailed, *failed};
            return std::nullopt;
        case capture_dialog::kVideoCompression:
            if (m_control.Capturing())
                return CaptureError{capture_error::kBusyRecording,
                                    QStringLiteral("A recording is running")};
            (id == QLatin1String("quality") ? m_compression.quality
                                            : m_compression.keyFrameInterval) = value;
            return std::nullopt;
        case capture_dialog::kAudioFormat:
            if (id == QLatin1String("sampleRate"))
                return m_control.setAudioFormat(value, channels, bits);
            if (id == QLatin1String("bitsPerSample"))
                return m_control.setAudioFormat(rate, channels, value);
            return m_control.setAudioFormat(rate, value, bits);
        default:
            return bad();
        }
    }
    return bad();
}

} // namespace skelvin
