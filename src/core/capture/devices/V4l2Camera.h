#pragma once

#include "core/capture/devices/FfmpegDeviceInput.h"
#include "core/capture/devices/V4l2Device.h"
#include "core/capture/devices/V4l2DeviceInfo.h"
#include "core/capture/devices/VideoSource.h"

#include <memory>
#include <mutex>

namespace skelvin {

// A V4L2 camera: its name, inputs, formats and controls read from its device node (which it
// keeps open, so controls can be changed while pictures are taken), and its pictures taken
// through FFmpeg's video4linux2 input. Motion-JPEG comes as the camera's own packets; every
// other format is decoded to pictures.
class V4l2Camera : public VideoSource
{
public:
    // `device` is open; `name` is the name the device list shows. Pictures come through FFmpeg's
    // input device `ffmpegInput` opened on the device's path (tests use "lavfi" with a test
    // picture source as the path).
    V4l2Camera(std::unique_ptr<V4l2Device> device, V4l2DeviceInfo info, QString name,
               QByteArray ffmpegInput = QByteArrayLiteral("video4linux2"));
    ~V4l2Camera() override;

    QString name() const override { return m_name; }
    QString devicePath() const { return m_info.path; }

    QStringList inputNames() const override;
    int inputIndex() const override { return m_inputIndex; }
    Failure setInputIndex(int index) override;

    std::vector<VideoFormatOffer> formats() const override { return m_info.formats; }
    Failure start(const VideoFormat &format) override;
    void stop() override;
    ReadStatus read(CapturedFrame &frame, QString &error) override;
    void interrupt() override;

    std::vector<DeviceSetting> controls() const override;
    Failure setControl(const QString &id, int value) override;

    // The options FFmpeg's video4linux2 input is opened with for `format` on `input` (-1: the
    // device's own).
    static FfmpegDeviceInput::Options inputOptions(const VideoFormat &format, int input);

private:
    ReadStatus deliverDecoded(CapturedFrame &frame, QString &error);
    bool offers(const VideoFormat &format) const;

    std::unique_ptr<V4l2Device> m_device;
    V4l2DeviceInfo m_info;
    QString m_name;
    QByteArray m_ffmpegInput;
    int m_inputIndex = 0;
    int m_frameWaitMs = 100;

    // Held by a read on the capture thread and by start/stop, which interrupt a read first.
    std::mutex m_streamMutex;
    FfmpegDeviceInput m_input;
    ffmpeg::CodecContext m_decoder; // null for Motion-JPEG, which is passed on as packets
    bool m_passPackets = false;
    std::atomic<bool> m_streaming{false};
};

} // namespace skelvin
