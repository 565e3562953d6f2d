#pragma once

#include "core/capture/CaptureDevice.h"
#include "core/capture/devices/DeviceCatalog.h"

#include <QFile>
#include <QStringList>
#include <QTimer>

#include <cmath>
#include <functional>

namespace skelvin::test {

// A capture control the screen tests set up as they need: its devices, formats and audio
// format, refusals, statistics and device-list events. Operations are recorded in `calls`.
class FakeCaptureDevice : public CaptureDevice
{
public:
    QStringList videoDevices{QStringLiteral("Camera A")};
    QStringList audioDevices;
    QStringList inputs;
    QStringList resolutions{QStringLiteral("640 x 480"), QStringLiteral("1280 x 720")};
    QStringList colourFormats{QStringLiteral("MJPG Motion-JPEG"),
                              QStringLiteral("YUYV YUYV 4:2:2")};
    QStringList compressors{QStringLiteral("Motion JPEG"), QStringLiteral("FFV1 (lossless)"),
                            QStringLiteral("H.264 (key frame every 10)")};
    QStringList effects{QStringLiteral("Grey"), QStringLiteral("Stronger contrast"),
                        QStringLiteral("Sharpen")};
    CaptureFailure connectFailure;
    CaptureFailure startFailure;
    QStringList calls;

    int videoIndex = 0;
    bool connected = false;
    int input = 0;
    int resolution = 1;
    int colour = 0;
    int compressor = 0;
    int audioIndex = -1;
    int sampleRate = 44100;
    int channels = 2;
    int bits = 16;
    bool listen = false;
    bool preview = false;
    QString captureFile;
    double frameRate = 30;
    double offeredFrameRate = 0; // above 0: the only rate the camera gives, whatever is asked
    int timeLimit = 0;
    double timeLimitSeconds = 0;
    bool capturing = false;
    int framesCaptured = 0;
    int framesWaiting = 0; // what a Stop would wait to be written
    std::function<void()> whileStopping; // runs inside StopCapture, before it returns
    int framesDropped = 0;
    QString stillFile;
    QImage frame; // what newestFrame hands out
    StillOptions still;
    int effect = -1;
    int recordings = 0; // a time limit ends only the recording it was set for

    // A device arriving (change 0) or leaving (change 1), as the control reports it.
    void plugVideo(const QString &name)
    {
        videoDevices << name;
        emit deviceListChanged(kVideoSourcesCategory, 0, videoDevices.size() - 1, name);
    }

    int VideoDeviceCount() const override { return videoDevices.size(); }
    QString VideoDeviceName(int i) const override { return videoDevices.value(i); }
    int VideoDeviceIndex() const override { return videoIndex; }
    void setVideoDeviceIndex(int i) override { videoIndex = i; }
    CaptureFailure ConnectDevice(int i) override
    {
        calls << QStringLiteral("ConnectDevice %1").arg(i);
        if (connectFailure)
            return connectFailure;
        videoIndex = i;
        connected = true;
        return std::nullopt;
    }
    void DisconnectDevice() override
    {
        connected = false;
        calls << QStringLiteral("DisconnectDevice");
    }
    bool Connected() const override { return connected; }
    int VideoInputCount() const override { return inputs.size(); }
    QString VideoInputName(int i) const override { return inputs.value(i); }
    int VideoInputIndex() const override { return input; }
    CaptureFailure setVideoInputIndex(int i) override
    {
        input = i;
        return std::nullopt;
    }
    int VideoResolutionCount() const override { return resolutions.size(); }
    QString VideoResolutionName(int i) const override { return resolutions.value(i); }
    int VideoResolution() const override { return resolution; }
    CaptureFailure setVideoResolution(int i) override
    {
        calls << QStringLiteral("setVideoResolution %1").arg(i);
        resolution = i;
        return std::nullopt;
    }
    int ColorFormatCount() const override { return colourFormats.size(); }
    QString ColorFormatName(int i) const override { return colourFormats.value(i); }
    int ColorFormat() const override { return colour; }
    CaptureFailure setColorFormat(int i) override
    {
        colour = i;
        return std::nullopt;
    }
    int VideoCompressorCount() const override { return compressors.size(); }
    QString VideoCompressorName(int i) const override { return compressors.value(i); }
    int VideoCompressor() const override { return compressor; }
    CaptureFailure setVideoCompressor(int i) override
    {
        compressor = i;
        return std::nullopt;
    }
    int AudioDeviceCount() const override { return audioDevices.size(); }
    QString AudioDeviceName(int i) const override { return audioDevices.value(i); }
    int AudioDeviceIndex() const override { return audioIndex; }
    CaptureFailure setAudioDeviceIndex(int i) override
    {
        audioIndex = i;
        return std::nullopt;
    }
    int AudioCompressorCount() const override { return 0; }
    QString AudioCompressorName(int) const override { return {}; }
    int AudioCompressor() const override { return -1; }
    CaptureFailure setAudioCompressor(int) override { return std::nullopt; }
    int AudioChannels() const override { return channels; }
    int AudioBitsPerSample() const override { return bits; }
    int AudioSampleRate() const override { return sampleRate; }
    CaptureFailure setAudioFormat(int rate, int ch, int b) override
    {
        calls << QStringLiteral("setAudioFormat %1 %2 %3").arg(rate).arg(ch).arg(b);
        sampleRate = rate;
        channels = ch;
        bits = b;
        return std::nullopt;
    }
    bool Listen() const override { return listen; }
    void setListen(bool on) override { listen = on; }
    bool PreviewEnabled() const override { return preview; }
    CaptureFailure setPreviewEnabled(bool on) override
    {
        preview = on;
        return std::nullopt;
    }
    void setPreviewSize(QSize) override {}
    QImage takePreviewPicture() override { return {}; }
    QImage newestFrame() override { return frame; }
    QString CaptureFileName() const override { return captureFile; }
    void setCaptureFileName(const QString &path) override { captureFile = path; }
    double FrameRate() const override { return frameRate; }
    void setFrameRate(double fps) override
    {
        frameRate = offeredFrameRate > 0 ? offeredFrameRate : fps;
    }
    int TimeLimit() const override { return timeLimit; }
    void setTimeLimit(int s) override
    {
        timeLimit = s;
        timeLimitSeconds = s;
    }
    void setTimeLimitSeconds(double s) override
    {
        timeLimitSeconds = s;
        timeLimit = int(std::ceil(s));
    }
    // The recording ends by itself, as the control tells it, with `frames` recorded.
    void endBySelf(RecordingEnd how, int frames, const QString &why = {})
    {
        if (!capturing)
            return;
        capturing = false;
        framesCaptured = frames;
        if (frames == 0)
            QFile::remove(captureFile); // no frame: no file, as the control leaves it
        emit recordingEnded(how, why);
    }
    CaptureFailure StartCapture() override
    {
        calls << QStringLiteral("StartCapture ") + captureFile;
        if (startFailure)
            return startFailure;
        capturing = true;
        QFile file(captureFile);
        if (file.open(QIODevice::WriteOnly))
            file.write("RIFF");
        // At its time limit the recording ends by itself, holding the limit's frames.
        if (timeLimitSeconds > 0) {
            const int recording = ++recordings;
            const int frames = int(std::lround(timeLimitSeconds * frameRate));
            QTimer::singleShot(int(timeLimitSeconds * 1000), this, [this, recording, frames] {
                if (recording == recordings)
                    endBySelf(RecordingEnd::TimeLimit, frames);
            });
        }
        return std::nullopt;
    }
    void StopCapture() override
    {
        calls << QStringLiteral("StopCapture");
        if (whileStopping)
            whileStopping();
        capturing = false;
        ++recordings;
        framesWaiting = 0;
    }
    int FramesWaitingToBeWritten() const override { return framesWaiting; }
    bool Capturing() const override { return capturing; }
    int FramesCaptured() const override { return framesCaptured; }
    int FramesDropped() const override { return framesDropped; }
    int64_t SamplesCaptured() const override { return 0; }
    int64_t CaptureTimeMs() const override { return 0; }
    QString StillFileName() const override { return stillFile; }
    void setStillFileName(const QString &path) override { stillFile = path; }
    StillOptions stillOptions() const override { return still; }
    void setStillOptions(const StillOptions &options) override { still = options; }
    CaptureFailure GrabStill() override
    {
        calls << QStringLiteral("GrabStill ") + stillFile;
        return std::nullopt;
    }
    CaptureFailure grabFramePicture(const QString &path) override
    {
        calls << QStringLiteral("grabFramePicture ") + path;
        return std::nullopt;
    }
    bool HasDialog(int) const override { return true; }
    std::vector<DeviceSetting> DialogSettings(int) const override { return {}; }
    CaptureFailure setDialogSetting(int, const QString &, int) override { return std::nullopt; }
    bool HasTuner() const override { return false; }
    int TunerChannel() const override { return 0; }
    CaptureFailure setTunerChannel(int) override { return std::nullopt; }
    int MinChannel() const override { return 0; }
    int MaxChannel() const override { return 0; }
    int EffectCount(const QString &) const override { return effects.size(); }
    QString EffectName(const QString &, int i) const override { return effects.value(i); }
    int FindEffect(const QString &, const QString &name) const override
    {
        return effects.indexOf(name);
    }
    CaptureFailure SetEffect(const QString &, int id, int) override
    {
        effect = id;
        return std::nullopt;
    }
    int CurrentEffect(int) const override { return effect; }
};

} // namespace skelvin::test
