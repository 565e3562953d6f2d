#include "tool/ToolCommands.h"

#include "core/capture/CaptureControl.h"
#include "core/capture/devices/SystemDeviceCatalog.h"
#include "core/simulation/SimulatedDeviceCatalog.h"
#include "core/simulation/SimulatedScene.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

extern "C" {
#include <libavutil/log.h>
}

#include <cmath>

namespace skelvin::tool {

namespace {

const char *const kCaptureUsage =
    "Usage: skelvin-tool capture OUT.avi [--device N | --simulated] [--scene FILE] [--size WxH]\n"
    "                            [--rate FPS] [--format NAME] [--seconds S]\n"
    "                            [--compressor none|mjpeg|ffv1|h264] [--audio N] [--preview]\n";

// The preview as the capture screen shows it: pictures up to this size.
constexpr QSize kPreviewBox(960, 540);

struct CaptureArgs
{
    QString out;
    int device = 0;
    bool simulated = false;
    QString scene;
    QSize size;
    double rate = 0;
    QString format; // FFmpeg's name of the camera's pixel format; empty: the camera's first
    double seconds = 3.0;
    int compressor = compressor::kMotionJpeg;
    int audio = -1;
    bool preview = false;
};

std::optional<QSize> sizeOf(const QString &text)
{
    const QStringList parts = text.toLower().split(QLatin1Char('x'));
    bool okWidth = false;
    bool okHeight = false;
    const QSize size(parts.value(0).toInt(&okWidth), parts.value(1).toInt(&okHeight));
    if (parts.size() != 2 || !okWidth || !okHeight || size.isEmpty())
        return std::nullopt;
    return size;
}

std::optional<CaptureArgs> parseCapture(const QStringList &args, ToolIo &io)
{
    CaptureArgs a;
    const QStringList compressors{QStringLiteral("none"), QStringLiteral("mjpeg"),
                                  QStringLiteral("ffv1"), QStringLiteral("h264")};
    for (int i = 1; i < args.size(); ++i) {
        const QString &arg = args[i];
        const bool hasValue = i + 1 < args.size();
        const QString value = hasValue ? args[i + 1] : QString();
        bool ok = true;
        if (arg == QLatin1String("--simulated")) {
            a.simulated = true;
        } else if (arg == QLatin1String("--preview")) {
            a.preview = true;
        } else if (!arg.startsWith(QLatin1String("--"))) {
            ok = a.out.isEmpty();
            a.out = arg;
        } else if (!hasValue) {
            ok = false;
        } else {
            ++i;
            if (arg == QLatin1String("--device"))
                a.device = value.toInt(&ok);
            else if (arg == QLatin1String("--scene"))
                a.scene = value;
            else if (arg == QLatin1String("--size")) {
                const std::optional<QSize> size = sizeOf(value);
                ok = size.has_value();
                a.size = size.value_or(QSize());
            } else if (arg == QLatin1String("--rate"))
                a.rate = value.toDouble(&ok);
            else if (arg == QLatin1String("--format"))
                a.format = value;
            else if (arg == QLatin1String("--seconds"))
                a.seconds = value.toDouble(&ok);
            else if (arg == QLatin1String("--audio"))
                a.audio = value.toInt(&ok);
            else if (arg == QLatin1String("--compressor")) {
                ok = compressors.contains(value);
                a.compressor = int(compressors.indexOf(value)) - 1;
            } else
                ok = false;
            ok = ok && (arg != QLatin1String("--rate") || a.rate > 0) &&
                 (arg != QLatin1String("--seconds") || (a.seconds > 0 && a.seconds <= 3600));
        }
        if (!ok) {
            io.err << "Cannot use " << arg << (hasValue ? " " + value : QString()) << "\n"
                   << kCaptureUsage;
            return std::nullopt;
        }
    }
    if (a.out.isEmpty()) {
        io.err << kCaptureUsage;
        return std::nullopt;
    }
    return a;
}

// The tool is the tests' and the demo's companion: besides the machine's devices it offers the
// simulated ones, last (--simulated records from the simulated camera alone).
std::unique_ptr<DeviceCatalog> catalogFor(bool simulated, const QString &scene)
{
    if (simulated)
        return std::make_unique<SimulatedDeviceCatalog>(scene);
    return std::make_unique<SimulatedDeviceCatalog>(scene, makeSystemDeviceCatalog());
}

QString number(double value)
{
    return QString::number(value, 'f', 3);
}

int capture(const QStringList &args, ToolIo &io)
{
    const std::optional<CaptureArgs> parsed = parseCapture(args, io);
    if (!parsed)
        return ExitUsage;
    const CaptureArgs &a = *parsed;
    av_log_set_level(AV_LOG_ERROR);

    std::optional<SimulatedScene> scene;
    if (a.simulated) {
        Result<SimulatedScene> loaded = SimulatedScene::load(a.scene);
        if (!loaded) {
            io.err << loaded.error() << "\n";
            return ExitBadFile;
        }
        scene = loaded.value();
    }

    CaptureControl control(catalogFor(a.simulated, a.scene));
    QObject::connect(&control, &CaptureDevice::statusText,
                     [&](const QString &text) { io.err << "status: " << text << "\n"; });
    bool failed = false;
    QObject::connect(&control, &CaptureDevice::warning, [&](const QString &text) {
        io.err << "warning: " << text << "\n";
        failed = true;
    });
    if (control.VideoDeviceCount() < 1) {
        io.err << "No Capture Devices\n";
        return ExitBadFile;
    }
    const int device = a.simulated ? 0 : a.device;
    if (const CaptureFailure refused = control.ConnectDevice(device)) {
        io.err << "Cannot open video device " << device << ": " << refused->description << "\n";
        return ExitBadFile;
    }
    if (!a.format.isEmpty()) {
        if (const CaptureFailure bad = control.setPixelFormat(a.format)) {
            io.err << "Cannot use format " << a.format << ": " << bad->description << "\n";
            return ExitUsage;
        }
    }
    if (a.size.isValid())
        control.setVideoSize(a.size);
    if (a.rate > 0)
        control.setFrameRate(a.rate);
    control.setVideoCompressor(a.compressor);
    if (a.audio >= 0) {
        if (const CaptureFailure bad = control.setAudioDeviceIndex(a.audio)) {
            io.err << "Cannot use audio device " << a.audio << ": " << bad->description << "\n";
            return ExitUsage;
        }
    }
    int previewPictures = 0;
    if (a.preview) {
        // As the capture screen drives it: fetch each picture the control announces.
        control.setPreviewSize(kPreviewBox);
        control.setPreviewEnabled(true);
        QObject::connect(&control, &CaptureDevice::previewPictureReady, [&] {
            if (!control.takePreviewPicture().isNull())
                ++previewPictures;
        });
    }
    control.setTimeLimitSeconds(a.seconds);
    control.setCaptureFileName(a.out);

    QEventLoop loop;
    QObject::connect(&control, &CaptureDevice::statusCode, [&](int code, const QString &) {
        if (code == capture_status::kStreamReady)
            loop.quit();
    });
    if (const CaptureFailure refused = control.StartCapture()) {
        io.err << refused->description << "\n";
        return ExitBadFile;
    }
    // The time limit ends the recording; a camera that stops delivering ends it too.
    QTimer::singleShot(int(a.seconds * 1000) + 10000, &loop, [&] { control.StopCapture(); });
    loop.exec();
    control.StopCapture();
    QCoreApplication::processEvents(); // the last events: warnings of the end

    io.out << "frames_captured=" << control.FramesCaptured() << "\n";
    io.out << "frames_dropped=" << control.FramesDropped() << "\n";
    io.out << "samples_captured=" << control.SamplesCaptured() << "\n";
    io.out << "capture_time_ms=" << control.CaptureTimeMs() << "\n";
    io.out << "frame_rate=" << fullNumber(control.FrameRate()) << "\n";
    io.out << "size=" << control.videoSize().width() << "x" << control.videoSize().height() << "\n";
    io.out << "format=" << control.currentPixelFormat() << "\n";
    io.out << "encode_ms_per_frame=" << number(control.encodeMicrosecondsPerFrame() / 1000.0)
           << "\n";
    const CaptureControl::QueueFigures queue = control.lastQueueFigures();
    // "copied": the camera's own Motion JPEG went into the file, neither decoded nor encoded.
    io.out << "video_written=" << (queue.copiedPackets ? "copied" : "encoded") << "\n";
    io.out << "queue_peak_frames=" << queue.peakFrames << "\n";
    io.out << "queue_peak_mib=" << number(double(queue.peakBytes) / (1024.0 * 1024.0)) << "\n";
    io.out << "frames_left_out_for_queue=" << queue.leftOut << "\n";
    if (a.preview)
        io.out << "preview_pictures=" << previewPictures << "\n";
    if (scene) {
        // The truth of the simulated jump: where and when the skier first touches the water.
        const QPointF at = scene->pictureOf(scene->landingSurvey(), control.videoSize());
        io.out << "landing_frame=" << scene->landingFrame(control.FrameRate()) << "\n";
        io.out << "landing_x=" << fullNumber(at.x()) << "\n";
        io.out << "landing_y=" << fullNumber(at.y()) << "\n";
        io.out << "landing_survey_x=" << fullNumber(scene->landingSurvey().x) << "\n";
        io.out << "landing_survey_y=" << fullNumber(scene->landingSurvey().y) << "\n";
    }
    return failed ? ExitBadFile : ExitOk;
}

int devices(const QStringList &args, ToolIo &io)
{
    QString scene;
    if (args.size() == 3 && args[1] == QLatin1String("--scene")) {
        scene = args[2];
    } else if (args.size() != 1) {
        io.err << "Usage: skelvin-tool devices [--scene FILE]\n";
        return ExitUsage;
    }
    av_log_set_level(AV_LOG_ERROR);
    std::unique_ptr<DeviceCatalog> catalog = catalogFor(false, scene);
    const QStringList videoNames = catalog->videoDeviceNames();
    if (videoNames.isEmpty())
        io.out << "No Capture Devices\n";
    for (int i = 0; i < videoNames.size(); ++i) {
        io.out << "video " << i << ": " << videoNames[i] << "\n";
        QString error;
        std::unique_ptr<VideoSource> source = catalog->openVideo(i, error);
        if (!source) {
            io.out << "  cannot open: " << error << "\n";
            continue;
        }
        const QStringList inputs = source->inputNames();
        for (int k = 0; k < inputs.size(); ++k)
            io.out << "  input " << k << ": " << inputs[k] << "\n";
        for (const VideoFormatOffer &offer : source->formats()) {
            QStringList rates;
            for (const double rate : offer.framesPerSecond)
                rates << QString::number(rate, 'g', 6);
            io.out << "  format " << offer.pixelFormat << " (" << offer.description << ") "
                   << offer.size.width() << " x " << offer.size.height() << ": "
                   << rates.join(QLatin1Char(' ')) << " fps\n";
        }
    }
    const QStringList audioNames = catalog->audioDeviceNames();
    for (int i = 0; i < audioNames.size(); ++i)
        io.out << "audio " << i << ": " << audioNames[i] << "\n";
    io.out << "compressor -1: None\n";
    const QStringList compressorNames = videoCompressorNames();
    for (int i = 0; i < compressorNames.size(); ++i)
        io.out << "compressor " << i << ": " << compressorNames[i] << "\n";
    return ExitOk;
}

} // namespace

int runCaptureCommand(const QStringList &args, ToolIo &io)
{
    const QString command = args.value(0);
    if (command == QLatin1String("capture"))
        return capture(args, io);
    if (command == QLatin1String("devices"))
        return devices(args, io);
    return -1;
}

} // namespace skelvin::tool
