#pragma once

#include "core/capture/recording/VideoEncoder.h"
#include "core/capture/shared/CaptureTypes.h"

#include <QString>

#include <vector>

namespace skelvin {

class CaptureControl;
class VideoSource;

// The settings dialogs of the capture control, drawn from what is set now: the connected
// device's own controls with its format (Video Source), the compressor's quality and key-frame
// interval (Video Compression), and the sound format (Audio Format). It keeps the compressor's
// settings; the rest it reads from and sets through the control.
class CaptureDialogs
{
public:
    explicit CaptureDialogs(CaptureControl &control) : m_control(control) {}

    // `source` is the connected camera, or none.
    bool has(int code, const VideoSource *source) const;
    std::vector<DeviceSetting> settings(int code, const VideoSource *source) const;
    CaptureFailure set(int code, const QString &id, int value, VideoSource *source);

    // The compressor's settings, as the next recording uses them.
    const CompressorSettings &compression() const { return m_compression; }

private:
    CaptureControl &m_control;
    CompressorSettings m_compression;
};

} // namespace skelvin
