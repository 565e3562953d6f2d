#pragma once

#include "core/capture/CaptureDevice.h"
#include "core/capture/CaptureDialogs.h"
#include "core/capture/CaptureEffects.h"
#include "core/capture/StillGrabber.h"
#include "core/capture/VideoFormatLists.h"
#include "core/capture/devices/DeviceCatalog.h"
#include "core/capture/recording/VideoEncoder.h"

#include <QTimer>

#include <functional>
#include <memory>

namespace skelvin {

class AudioMonitor;
class AudioPump;
class AviRecorder;
class VideoPump;

// The capture control: the machine's devices from a `DeviceCatalog`, a connected camera read
// on the device thread (`VideoPump`), recordings through `AviRecorder`, and the control's events
// as queued signals. It keeps the connect, preview and record state; still grabs and AutoSave
// (`StillGrabber`), the settings dialogs (`CaptureDialogs`) and the effects (`CaptureEffects`)
// are classes of their own that it hands its operations to.
//
// Values a device does not offer (a size, a frame rate) are replaced by the nearest it offers
// and the status text says so. While recording, status 510 carries the statistics about once
// a second; status 301 says a recording may be started again. Faults (a full disk, a camera
// pulled out) end the recording, keep what was written and raise a warning naming the file.
class CaptureControl : public CaptureDevice
{
    Q_OBJECT
public:
    explicit CaptureControl(std::unique_ptr<DeviceCatalog> catalog, QObject *parent = nullptr);
    ~CaptureControl() override;

    int VideoDeviceCount() const override;
    QString VideoDeviceName(int index) const override;
    int VideoDeviceIndex() const override { return m_videoIndex; }
    void setVideoDeviceIndex(int index) override;
    CaptureFailure ConnectDevice(int index) override;
    void DisconnectDevice() override;
    bool Connected() const override { return m_source != nullptr; }

    int VideoInputCount() const override;
    QString VideoInputName(int index) const override;
    int VideoInputIndex() const override;
    CaptureFailure setVideoInputIndex(int index) override;

    int VideoResolutionCount() const override { return m_formats.sizeCount(); }
    QString VideoResolutionName(int index) const override;
    int VideoResolution() const override { return m_formats.sizeIndex(); }
    CaptureFailure setVideoResolution(int index) override;
    int ColorFormatCount() const override { return m_formats.colourFormatCount(); }
    QString ColorFormatName(int index) const override;
    int ColorFormat() const override { return m_formats.colourFormat(); }
    CaptureFailure setColorFormat(int index) override;

    int VideoCompressorCount() const override { return m_compressorNames.size(); }
    QString VideoCompressorName(int index) const override { return m_compressorNames.value(index); }
    int VideoCompressor() const override { return m_compressor; }
    CaptureFailure setVideoCompressor(int index) override;

    int AudioDeviceCount() const override;
    QString AudioDeviceName(int index) const override;
    int AudioDeviceIndex() const override { return m_audioIndex; }
    CaptureFailure setAudioDeviceIndex(int index) override;
    int AudioCompressorCount() const override { return 0; }
    QString AudioCompressorName(int) const override { return {}; }
    int AudioCompressor() const override { return -1; }
    CaptureFailure setAudioCompressor(int index) override;
    int AudioChannels() const override { return m_audioChannels; }
    int AudioBitsPerSample() const override { return m_audioBits; }
    int AudioSampleRate() const override { return m_audioRate; }
    CaptureFailure setAudioFormat(int sampleRate, int channels, int bitsPerSample) override;
    bool Listen() const override { return m_listen; }
    void setListen(bool on) override;

    bool PreviewEnabled() const override { return m_preview; }
    CaptureFailure setPreviewEnabled(bool on) override;
    void setPreviewSize(QSize size) override;
    QImage takePreviewPicture() override;

    QString CaptureFileName() const override { return m_captureFile; }
    void setCaptureFileName(const QString &path) override { m_captureFile = path; }
    double FrameRate() const override { return m_frameRate; }
    void setFrameRate(double framesPerSecond) override;
    int TimeLimit() const override { return m_timeLimitSeconds; }
    void setTimeLimit(int seconds) override;
    void setTimeLimitSeconds(double seconds) override;
    CaptureFailure StartCapture() override;
    void StopCapture() override;
    int FramesWaitingToBeWritten() const override;
    bool Capturing() const override { return m_recorder != nullptr; }
    void searchContactInNextRecording(const Grid &grid) override { m_contactGrid = grid; }
    std::shared_ptr<RecordingContactSearch>
    contactSearchOf(const QString &videoPath) const override;
    int FramesCaptured() const override;
    int FramesDropped() const override;
    int64_t SamplesCaptured() const override;
    int64_t CaptureTimeMs() const override;

    QString StillFileName() const override { return m_stills.stillFile(); }
    void setStillFileName(const QString &path) override { m_stills.setStillFile(path); }
    StillOptions stillOptions() const override { return m_stills.options(); }
    void setStillOptions(const StillOptions &options) override;
    CaptureFailure GrabStill() override;
    // How often AutoSave writes a still now; 0 while it is idle.
    int autoSaveIntervalMs() const { return m_stills.autoSaveIntervalMs(); }
    CaptureFailure grabFramePicture(const QString &path) override;
    QImage newestFrame() override;

    bool HasDialog(int code) const override;
    std::vector<DeviceSetting> DialogSettings(int code) const override;
    CaptureFailure setDialogSetting(int code, const QString &id, int value) override;

    bool HasTuner() const override;
    int TunerChannel() const override;
    CaptureFailure setTunerChannel(int channel) override;
    int MinChannel() const override;
    int MaxChannel() const override;

    int EffectCount(const QString &group) const override;
    QString EffectName(const QString &group, int index) const override;
    int FindEffect(const QString &group, const QString &name) const override;
    CaptureFailure SetEffect(const QString &group, int id, int reserved = 0) override;
    int CurrentEffect(int = 0) const override { return m_effects.current(); }

    // Beyond the control's operations: for the command-line tool and tests.
    // The picture size nearest to `size` the connected device offers (told in the status text
    // when it is not `size` itself).
    CaptureFailure setVideoSize(QSize size);
    // The colour format FFmpeg calls `pixelFormat` ("mjpeg", "yuyv422", "rgb24", ...).
    CaptureFailure setPixelFormat(const QString &pixelFormat);
    QSize videoSize() const;
    // FFmpeg's name of the pixel format the connected camera delivers; empty when none is.
    QString currentPixelFormat() const { return currentFormat().pixelFormat; }
    // What the Video Source dialog shows of the format: "YUYV 4:2:2, 640 x 480, 30 frames per
    // second".
    QString formatDescription() const;
    // The file system is full once a recording's file reaches this many bytes (< 0: never).
    void setWriteLimitBytes(qint64 bytes) { m_writeLimitBytes = bytes; }
    // The encoder's time per frame in the current or last recording, microseconds.
    double encodeMicrosecondsPerFrame() const { return m_encodeUsPerFrame; }
    // How the last recording went through the queue to the file (for the tool and the
    // benchmarks): the most the queue held, frames left out at its bound, and whether the
    // camera's own packets were written.
    struct QueueFigures
    {
        std::size_t peakBytes = 0;
        std::size_t peakFrames = 0;
        std::size_t boundBytes = 0;
        int leftOut = 0;
        bool copiedPackets = false;
    };
    QueueFigures lastQueueFigures() const { return m_queueFigures; }
    const DeviceCatalog &catalog() const { return *m_catalog; }

private:
    void post(std::function<void()> call);
    void emitStatus(int code, const QString &text);
    void emitStatusText(const QString &text);
    void emitWarning(const QString &text);
    QString statisticsText() const;

    VideoFormat currentFormat() const;
    void applyFormat(bool onlyIfRateChanged);
    void onVideoDeviceChanged(int change, int index, const QString &name);
    void onAudioDeviceChanged(int change, int index, const QString &name);
    void onDeviceEnded(const QString &reason);
    void onRecordingEnded();
    QString finishRecording();
    void endBySelf(const QString &faultWarning, bool tellPosted);
    void keepStatistics();
    void installEffect();

    std::unique_ptr<DeviceCatalog> m_catalog;
    QStringList m_compressorNames;

    int m_videoIndex = -1;
    std::unique_ptr<VideoSource> m_source;
    std::unique_ptr<VideoPump> m_pump;
    VideoFormatLists m_formats;
    double m_frameRate = 30.0;
    double m_wantedFrameRate = 30.0;

    int m_compressor = compressor::kMotionJpeg;
    CaptureDialogs m_dialogs{*this};

    int m_audioIndex = -1;
    int m_audioRate = 44100;
    int m_audioChannels = 2;
    int m_audioBits = 16;
    bool m_listen = false;

    bool m_preview = false;
    QSize m_previewSize{960, 540};
    bool m_previewSignalPending = false;

    QString m_captureFile;
    int m_timeLimitSeconds = 0;
    double m_timeLimitExact = 0;
    qint64 m_writeLimitBytes = -1;
    std::unique_ptr<AviRecorder> m_recorder;
    std::optional<Grid> m_contactGrid;
    std::shared_ptr<RecordingContactSearch> m_contactSearch;
    QString m_contactSearchPath;
    std::unique_ptr<AudioSource> m_audioSource;
    std::unique_ptr<AudioPump> m_audioPump;
    std::unique_ptr<AudioMonitor> m_monitor;
    QTimer m_statisticsTimer;
    int m_lastFrames = 0;
    int m_lastDropped = 0;
    int64_t m_lastSamples = 0;
    int64_t m_lastTimeMs = 0;
    double m_encodeUsPerFrame = 0;
    QueueFigures m_queueFigures;

    StillGrabber m_stills;
    CaptureEffects m_effects;
};

} // namespace skelvin
