#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace skelvin {

// Why a capture operation failed: the number and the words the operator sees
// ("Eror code: " + number + " " + description).
struct CaptureError
{
    int code = 0;
    QString description;
};

// Empty on success.
using CaptureFailure = std::optional<CaptureError>;

// Error numbers the capture control reports.
namespace capture_error {
inline constexpr int kNoDevice = static_cast<int>(0x80040001u);       // no device at that index
inline constexpr int kDeviceBusy = static_cast<int>(0x80040002u);     // another program holds the camera
inline constexpr int kDeviceFailed = static_cast<int>(0x80040003u);   // the device refused or vanished
inline constexpr int kNotConnected = static_cast<int>(0x80040004u);   // an operation that needs a connected device
inline constexpr int kFileFailed = static_cast<int>(0x80040005u);     // the recording or still file cannot be written
inline constexpr int kBadValue = static_cast<int>(0x80040006u);       // an index or value out of range
inline constexpr int kBusyRecording = static_cast<int>(0x80040007u);  // an operation not allowed while recording
} // namespace capture_error

// Status codes of the control's status event. 301: the test capture may start a stream again
// (the main screen's test-capture button reads "Capture Stream"); 510: the statistics of the
// current recording changed.
namespace capture_status {
inline constexpr int kStreamReady = 301;
inline constexpr int kStatistics = 510;
} // namespace capture_status

// How a recording ended without being stopped: its time limit was reached, or a fault ended it
// (the camera gone, the file not writable), which the control's warning tells.
enum class RecordingEnd { TimeLimit, Fault };

// One setting of a settings dialog, as the panel draws it: a slider and box for an integer,
// a check box for a flag, a list for a menu.
struct DeviceSetting
{
    enum class Kind { Integer, Flag, Menu };
    QString id;    // stable key, e.g. "brightness", "quality", "sampleRate"
    QString name;  // what the dialog shows, e.g. "Brightness"
    Kind kind = Kind::Integer;
    int minimum = 0;
    int maximum = 0;
    int step = 1;
    int defaultValue = 0;
    int value = 0;
    QStringList menuItems; // for Kind::Menu: item i has value minimum + i
    bool readOnly = false;
};

// Dialog codes of the capture control.
namespace capture_dialog {
inline constexpr int kVideoSource = 35;          // the device's own controls and format
inline constexpr int kEffectFlag = 4096;         // added to kVideoSource when an effect is chosen
inline constexpr int kVideoCompression = 256;    // the compressor's settings
inline constexpr int kAudioFormat = 1032;        // sample rate, bits, channels
} // namespace capture_dialog

// The only effect group there is.
inline const QString kVideoEffectGroup = QStringLiteral("Video Effect 1");

// Still-frame options of the panel.
struct StillOptions
{
    int chromFactor = 0;     // JPEG chrominance quality factor
    int lumFactor = 0;       // JPEG luminance quality factor
    bool progressiveJpeg = false;
    QString password;
    bool autoSave = false;   // grab a still every `intervalMs` while the preview runs
    int intervalMs = 0;      // the panel's "Interval:", milliseconds; 0 leaves AutoSave idle
    int captionLeft = 0;     // where the caption is drawn, picture pixels
    int captionTop = 0;
    QString caption;
    bool autoIncrement = false; // number the still files
};

// AutoSave writes at most this often: a shorter Interval is taken as this one, so a typing slip
// (1 for 1000) cannot fill the disk with ten thousand pictures a minute.
inline constexpr int kShortestAutoSaveIntervalMs = 100;

// One picture format a camera offers: pixel format x size x the frame rates it can give at
// that size.
struct VideoFormatOffer
{
    QString pixelFormat;   // FFmpeg's name: "yuyv422", "mjpeg", "rgb24", ...
    QString description;   // the device's own words, e.g. "YUYV 4:2:2", "Motion-JPEG"
    QSize size;
    std::vector<double> framesPerSecond; // largest first
};

// The format a source is started with.
struct VideoFormat
{
    QString pixelFormat;
    QSize size;
    double framesPerSecond = 30.0;
};

} // namespace skelvin
