#pragma once

#include "core/capture/shared/CaptureTypes.h"
#include "core/geometry/Grid.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace skelvin {

class RecordingContactSearch;

// The capture control as the main screen's panel and the capture screen drive it: the device
// lists with their current indexes, connecting, the live preview, stream capture to an AVI
// file, still grabs, the settings dialogs, the tuner, effects, and its events. Operation names
// are the control's own. Lists that may have no choice use -1 for "none".
//
// Every call comes from the interface thread and returns at once: devices are read and files
// written on the control's own threads. Its events reach the interface thread as queued
// signals. Screens never see FFmpeg or V4L2.
class CaptureDevice : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~CaptureDevice() override = default;

    // Video devices.
    virtual int VideoDeviceCount() const = 0;
    virtual QString VideoDeviceName(int index) const = 0;
    virtual int VideoDeviceIndex() const = 0;
    virtual void setVideoDeviceIndex(int index) = 0;
    virtual CaptureFailure ConnectDevice(int index) = 0;
    virtual void DisconnectDevice() = 0;
    virtual bool Connected() const = 0;

    // Inputs of the connected device.
    virtual int VideoInputCount() const = 0;
    virtual QString VideoInputName(int index) const = 0;
    virtual int VideoInputIndex() const = 0;
    virtual CaptureFailure setVideoInputIndex(int index) = 0;

    // Resolutions ("1280 x 720") and colour formats ("MJPG Motion-JPEG") of the connected device.
    virtual int VideoResolutionCount() const = 0;
    virtual QString VideoResolutionName(int index) const = 0;
    virtual int VideoResolution() const = 0;
    virtual CaptureFailure setVideoResolution(int index) = 0;
    virtual int ColorFormatCount() const = 0;
    virtual QString ColorFormatName(int index) const = 0;
    virtual int ColorFormat() const = 0;
    virtual CaptureFailure setColorFormat(int index) = 0;

    // Video compressors: "None" is not in this list; index -1 records uncompressed 24-bit frames.
    virtual int VideoCompressorCount() const = 0;
    virtual QString VideoCompressorName(int index) const = 0;
    virtual int VideoCompressor() const = 0;
    virtual CaptureFailure setVideoCompressor(int index) = 0;

    // Audio devices (-1: no sound recorded) and compressors (-1: PCM).
    virtual int AudioDeviceCount() const = 0;
    virtual QString AudioDeviceName(int index) const = 0;
    virtual int AudioDeviceIndex() const = 0;
    virtual CaptureFailure setAudioDeviceIndex(int index) = 0;
    virtual int AudioCompressorCount() const = 0;
    virtual QString AudioCompressorName(int index) const = 0;
    virtual int AudioCompressor() const = 0;
    virtual CaptureFailure setAudioCompressor(int index) = 0;
    virtual int AudioChannels() const = 0;        // 1 or 2
    virtual int AudioBitsPerSample() const = 0;   // 8 or 16
    virtual int AudioSampleRate() const = 0;      // samples per second
    virtual CaptureFailure setAudioFormat(int sampleRate, int channels, int bitsPerSample) = 0;
    virtual bool Listen() const = 0;
    virtual void setListen(bool on) = 0;

    // Live preview. The newest picture, scaled to the preview size, waits in a one-picture
    // mailbox; `previewPictureReady` says a new one is there (one signal per picture the
    // screen has not fetched yet at most).
    virtual bool PreviewEnabled() const = 0;
    virtual CaptureFailure setPreviewEnabled(bool on) = 0;
    virtual void setPreviewSize(QSize size) = 0;   // the largest size the screen shows
    virtual QImage takePreviewPicture() = 0;       // the newest picture; null when none is new

    // Stream capture.
    virtual QString CaptureFileName() const = 0;
    virtual void setCaptureFileName(const QString &path) = 0;
    virtual double FrameRate() const = 0;
    virtual void setFrameRate(double framesPerSecond) = 0;
    virtual int TimeLimit() const = 0;            // seconds; 0 no limit
    virtual void setTimeLimit(int seconds) = 0;
    // A time limit that need not be whole: the recording holds round(seconds x rate) frames,
    // counted from its first frame, and then ends by itself. 0: no limit.
    virtual void setTimeLimitSeconds(double seconds) = 0;
    virtual CaptureFailure StartCapture() = 0;
    // Ends the recording; the file is complete and closed when this returns, which waits for
    // the frames still to be compressed. Safe when nothing is being recorded.
    virtual void StopCapture() = 0;
    // The frames of the recording taken from the camera and not yet written: what a Stop now
    // would wait for.
    virtual int FramesWaitingToBeWritten() const { return 0; }
    virtual bool Capturing() const = 0;
    // The first contact searched while it is recorded: the next StartCapture hands its frames,
    // as they come, to a search over the landing area of `grid`. For the recording at
    // `videoPath` that search (the recording then closed), or null when it had none: the
    // recording is then searched on disk. A device that records elsewhere has none.
    virtual void searchContactInNextRecording(const Grid &) {}
    virtual std::shared_ptr<RecordingContactSearch> contactSearchOf(const QString &) const
    {
        return nullptr;
    }
    // Statistics of the current or last recording.
    virtual int FramesCaptured() const = 0;
    virtual int FramesDropped() const = 0;
    virtual int64_t SamplesCaptured() const = 0;
    virtual int64_t CaptureTimeMs() const = 0;

    // Still grab: the newest frame to `StillFileName` (".bmp": 24-bit bitmap; ".jpg": JPEG with
    // the still options).
    virtual QString StillFileName() const = 0;
    virtual void setStillFileName(const QString &path) = 0;
    virtual StillOptions stillOptions() const = 0;
    virtual void setStillOptions(const StillOptions &options) = 0;
    virtual CaptureFailure GrabStill() = 0;
    // The picture the measure screen marks: the newest frame as a 24-bit bitmap at exactly
    // `path`, replacing it. The still file name and options (AutoIncrement, AutoSave, the
    // caption) play no part, and a still grab never writes over this file.
    virtual CaptureFailure grabFramePicture(const QString &path) = 0;
    // The newest whole frame the camera delivered, for looking at what it sees; null when none.
    virtual QImage newestFrame() = 0;

    // Settings dialogs (codes in capture_dialog): whether one exists, what it edits, and an edit.
    virtual bool HasDialog(int code) const = 0;
    virtual std::vector<DeviceSetting> DialogSettings(int code) const = 0;
    virtual CaptureFailure setDialogSetting(int code, const QString &id, int value) = 0;

    // Tuner.
    virtual bool HasTuner() const = 0;
    virtual int TunerChannel() const = 0;
    virtual CaptureFailure setTunerChannel(int channel) = 0;
    virtual int MinChannel() const = 0;
    virtual int MaxChannel() const = 0;

    // Effects of group kVideoEffectGroup.
    virtual int EffectCount(const QString &group) const = 0;
    virtual QString EffectName(const QString &group, int index) const = 0;
    virtual int FindEffect(const QString &group, const QString &name) const = 0; // negative: none
    virtual CaptureFailure SetEffect(const QString &group, int id, int reserved = 0) = 0;
    virtual int CurrentEffect(int reserved = 0) const = 0; // -1: none

signals:
    void previewPictureReady();
    // The control's four events: a status code with its text (capture_status), a status text,
    // a warning, and a device plugged in (change 0) or pulled out (change 1).
    void statusCode(int code, const QString &text);
    void statusText(const QString &text);
    void warning(const QString &text);
    void deviceListChanged(const QString &category, int change, int index, const QString &name);
    // A recording ended by itself (never raised by StopCapture). `why` is the warning's text for
    // a fault, empty at the time limit. A recording that ended before its first frame leaves
    // no file.
    void recordingEnded(skelvin::RecordingEnd how, const QString &why);
};

} // namespace skelvin
