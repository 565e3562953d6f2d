#pragma once

#include "core/capture/CaptureDevice.h"
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
// on the device thread (`VideoPump`), recordings through `AviRecorder`, still grabs of the
// newest frame, and the control's events as queued signals.
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

    int VideoResolutionCount() const override { return int(m_sizes.size()); }
    QString VideoResolutionName(int index) const override;
    int VideoResolution() const override { return m_sizeIndex; }
    CaptureFailure setVideoResolution(int index) override;
    int ColorFormatCount() const override { return int(m_pixelFormats.size()); }
    QString ColorFormatName(int index) const override;
    int ColorFormat() const override { return m_pixelFormatIndex; }
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
    bool Capturing() const override { return m_recorder != nullptr; }
    int FramesCaptured() const override;
    int FramesDropped() const override;
    int64_t SamplesCaptured() const override;
    int64_t CaptureTimeMs() const override;

    QString StillFileName() const override { return m_stillFile; }
    void setStillFileName(const QString &path) override { m_stillFile = path; }
    StillOptions stillOptions() const override { return m_stillOptions; }
    void setStillOptions(const StillOptions &options) override;
    CaptureFailure GrabStill() override;
    // How often AutoSave writes a still now; 0 while it is idle.
    int autoSaveIntervalMs() const;
    CaptureFailure grabFramePicture(const QString &path) override;

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
    int CurrentEffect(int = 0) const override { return m_effect; }

    // Beyond the control's operations: for the command-line tool and tests.
    // The picture size nearest to `size` the connected device offers (told in the status text
    // when it is not `size` itself).
    CaptureFailure setVideoSize(QSize size);
    QSize videoSize() const;
    // The file system is full once a recording's file reaches this many bytes (< 0: never).
    void setWriteLimitBytes(qint64 bytes) { m_writeLimitBytes = bytes; }
    // The encoder's time per frame in the current or last recording, microseconds.
    double encodeMicrosecondsPerFrame() const { return m_encodeUsPerFrame; }
    const DeviceCatalog &catalog() const { return *m_catalog; }

private:
    void post(std::function<void()> call);
    void emitStatus(int code, const QString &text);
    void emitStatusText(const QString &text);
    void emitWarning(const QString &text);
    QString statisticsText() const;

    VideoFormat currentFormat() const;
    void fillFormatLists();
    void applyFormat(bool onlyIfRateChanged);
    double nearestRate(double wanted) const;
    void onVideoDeviceChanged(int change, int index, const QString &name);
    void onAudioDeviceChanged(int change, int index, const QString &name);
    void onDeviceEnded(const QString &reason);
    void onRecordingEnded();
    QString finishRecording();
    void endBySelf(const QString &faultWarning, bool tellPosted);
    void keepStatistics();
    void stopAutoSave();
    void updateAutoSave();
    CaptureFailure writeNewestPicture(const QString &path, const StillOptions &options,
                                      QString &written);
    void installEffect();

    std::unique_ptr<DeviceCatalog> m_catalog;
    QStringList m_compressorNames;

    int m_videoIndex = -1;
    std::unique_ptr<VideoSource> m_source;
    std::unique_ptr<VideoPump> m_pump;
    std::vector<VideoFormatOffer> m_offers;
    std::vector<QSize> m_sizes;
    QStringList m_pixelFormats;     // FFmpeg names
    QStringList m_pixelFormatNames; // what the list shows
    int m_sizeIndex = -1;
    int m_pixelFormatIndex = -1;
    double m_frameRate = 30.0;
    double m_wantedFrameRate = 30.0;

    int m_compressor = compressor::kMotionJpeg;
    CompressorSettings m_compression;

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
    std::unique_ptr<AudioSource> m_audioSource;
    std::unique_ptr<AudioPump> m_audioPump;
    std::unique_ptr<AudioMonitor> m_monitor;
    QTimer m_statisticsTimer;
    int m_lastFrames = 0;
    int m_lastDropped = 0;
    int64_t m_lastSamples = 0;
    int64_t m_lastTimeMs = 0;
    double m_encodeUsPerFrame = 0;

    QString m_stillFile;
    QString m_framePicture; // the measure screen's picture: still grabs leave it alone
    StillOptions m_stillOptions;
    QTimer m_autoSaveTimer;

    int m_effect = -1;
};

} // namespace skelvin
