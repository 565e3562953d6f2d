#include "core/capture/CaptureControl.h"

#include "core/capture/AudioMonitor.h"
#include "core/capture/AudioPump.h"
#include "core/capture/VideoPump.h"
#include "core/capture/recording/AviRecorder.h"
#include "core/capture/recording/StillPictureWriter.h"
#include "core/capture/recording/VideoEffectFilter.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>

namespace skelvin {

namespace {

CaptureFailure captureError(int code, const QString &description)
{
    return CaptureError{code, description};
}

QString sizeName(QSize size)
{
    return QStringLiteral("%1 x %2").arg(size.width()).arg(size.height());
}

QString rateText(double framesPerSecond)
{
    return QString::number(framesPerSecond, 'g', 6);
}

} // namespace

CaptureControl::CaptureControl(std::unique_ptr<DeviceCatalog> catalog, QObject *parent)
    : CaptureDevice(parent), m_catalog(std::move(catalog)),
      m_compressorNames(videoCompressorNames())
{
    if (VideoDeviceCount() > 0)
        m_videoIndex = 0;
    connect(m_catalog.get(), &DeviceCatalog::videoDeviceChanged, this,
            &CaptureControl::onVideoDeviceChanged);
    connect(m_catalog.get(), &DeviceCatalog::audioDeviceChanged, this,
            &CaptureControl::onAudioDeviceChanged);
    m_statisticsTimer.setInterval(1000);
    connect(&m_statisticsTimer, &QTimer::timeout, this, &CaptureControl::keepStatistics);
    // A failing AutoSave stops, told once, rather than raise the same warning every interval.
    // While a jump is recorded the still waits: the recording's frames come first.
    connect(&m_autoSaveTimer, &QTimer::timeout, this, [this] {
        if (Capturing())
            return;
        if (const CaptureFailure failed = GrabStill()) {
            stopAutoSave();
            emitWarning(QStringLiteral("AutoSave stopped: %1").arg(failed->description));
        }
    });
}

CaptureControl::~CaptureControl()
{
    DisconnectDevice();
}

// Events reach the interface thread as queued signals, also when raised on it: a screen's
// handler never runs inside one of the control's own calls.
void CaptureControl::post(std::function<void()> call)
{
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void CaptureControl::emitStatus(int code, const QString &text)
{
    post([this, code, text] { emit statusCode(code, text); });
}

void CaptureControl::emitStatusText(const QString &text)
{
    post([this, text] { emit statusText(text); });
}

void CaptureControl::emitWarning(const QString &text)
{
    post([this, text] { emit warning(text); });
}

// --- Video devices ---------------------------------------------------------------------------

int CaptureControl::VideoDeviceCount() const
{
    return int(m_catalog->videoDeviceNames().size());
}

QString CaptureControl::VideoDeviceName(int index) const
{
    return m_catalog->videoDeviceNames().value(index);
}

void CaptureControl::setVideoDeviceIndex(int index)
{
    if (index >= -1 && index < VideoDeviceCount())
        m_videoIndex = index;
}

CaptureFailure CaptureControl::ConnectDevice(int index)
{
    using namespace capture_error;
    if (Capturing())
        return captureError(kBusyRecording, QStringLiteral("A recording is running"));
    if (VideoDeviceCount() < 1)
        return captureError(kNoDevice, QStringLiteral("No Capture Devices"));
    if (index < 0 || index >= VideoDeviceCount())
        return captureError(kNoDevice, QStringLiteral("There is no capture device %1").arg(index));
    DisconnectDevice();

    QString error;
    std::unique_ptr<VideoSource> source = m_catalog->openVideo(index, error);
    const auto refusal = [&](const QString &reason) {
        const bool busy = reason.contains(QLatin1String("in use"), Qt::CaseInsensitive) ||
                          reason.contains(QLatin1String("busy"), Qt::CaseInsensitive);
        return captureError(busy ? kDeviceBusy : kDeviceFailed, reason);
    };
    if (!source)
        return refusal(error.isEmpty()
                           ? QStringLiteral("%1 does not open").arg(VideoDeviceName(index))
                           : error);
    m_offers = source->formats();
    if (m_offers.empty())
        return captureError(kDeviceFailed,
                            QStringLiteral("%1 offers no picture format").arg(source->name()));
    m_videoIndex = index;
    m_source = std::move(source);
    m_pixelFormatIndex = 0;
    fillFormatLists();
    m_frameRate = nearestRate(m_wantedFrameRate);

    if (const Failure failed = m_source->start(currentFormat())) {
        m_source.reset();
        m_offers.clear();
        fillFormatLists();
        return refusal(*failed);
    }
    VideoPump::Handlers handlers;
    handlers.previewReady = [this] {
        post([this] {
            if (!m_previewSignalPending) {
                m_previewSignalPending = true;
                emit previewPictureReady();
            }
        });
    };
    handlers.deviceEnded = [this](const QString &reason) {
        post([this, reason] { onDeviceEnded(reason); });
    };
    handlers.formatFailed = [this](const QString &reason) { emitWarning(reason); };
    m_pump = std::make_unique<VideoPump>(*m_source, std::move(handlers));
    m_pump->setPreview(m_preview, m_previewSize);
    installEffect();
    m_pump->start();
    emitStatusText(QStringLiteral("Connected to %1").arg(m_source->name()));
    updateAutoSave();
    return std::nullopt;
}

void CaptureControl::DisconnectDevice()
{
    StopCapture();
    stopAutoSave();
    if (m_pump)
        m_pump->stop();
    m_pump.reset();
    if (m_source)
        m_source->stop();
    m_source.reset();
    m_offers.clear();
    fillFormatLists();
}

// --- Inputs, sizes, colour formats, rate -------------------------------------------------------

int CaptureControl::VideoInputCount() const
{
    return m_source ? int(m_source->inputNames().size()) : 0;
}

QString CaptureControl::VideoInputName(int index) const
{
    return m_source ? m_source->inputNames().value(index) : QString();
}

int CaptureControl::VideoInputIndex() const
{
    return m_source ? m_source->inputIndex() : 0;
}

CaptureFailure CaptureControl::setVideoInputIndex(int index)
{
    if (!m_source)
        return captureError(capture_error::kNotConnected, QStringLiteral("No device is connected"));
    if (index < 0 || index >= VideoInputCount())
        return captureError(capture_error::kBadValue,
                            QStringLiteral("There is no input %1").arg(index));
    if (index == m_source->inputIndex())
        return std::nullopt;
    if (Capturing())
        return captureError(capture_error::kBusyRecording,
                            QStringLiteral("A recording is running"));
    if (const Failure failed = m_source->setInputIndex(index))
        return captureError(capture_error::kDeviceFailed, *failed);
    return std::nullopt;
}

// The colour formats in the device's order; the sizes of the chosen colour format.
void CaptureControl::fillFormatLists()
{
    m_pixelFormats.clear();
    m_pixelFormatNames.clear();
    for (const VideoFormatOffer &offer : m_offers) {
        if (!m_pixelFormats.contains(offer.pixelFormat)) {
            m_pixelFormats << offer.pixelFormat;
            m_pixelFormatNames << (offer.description.isEmpty() ? offer.pixelFormat
                                                               : offer.description);
        }
    }
    if (m_pixelFormats.isEmpty()) {
        m_pixelFormatIndex = -1;
        m_sizes.clear();
        m_sizeIndex = -1;
        return;
    }
    m_pixelFormatIndex = std::clamp(m_pixelFormatIndex, 0, int(m_pixelFormats.size()) - 1);
    const QSize wasSize =
        m_sizeIndex >= 0 && m_sizeIndex < int(m_sizes.size()) ? m_sizes[m_sizeIndex] : QSize();
    m_sizes.clear();
    for (const VideoFormatOffer &offer : m_offers) {
        if (offer.pixelFormat == m_pixelFormats[m_pixelFormatIndex] &&
            std::find(m_sizes.begin(), m_sizes.end(), offer.size) == m_sizes.end())
            m_sizes.push_back(offer.size);
    }
    const auto kept = std::find(m_sizes.begin(), m_sizes.end(), wasSize);
    m_sizeIndex = kept != m_sizes.end() ? int(kept - m_sizes.begin()) : 0;
}

VideoFormat CaptureControl::currentFormat() const
{
    VideoFormat format;
    if (m_pixelFormatIndex >= 0 && m_sizeIndex >= 0) {
        format.pixelFormat = m_pixelFormats[m_pixelFormatIndex];
        format.size = m_sizes[std::size_t(m_sizeIndex)];
    }
    format.framesPerSecond = m_frameRate;
    return format;
}

double CaptureControl::nearestRate(double wanted) const
{
    const VideoFormat format = currentFormat();
    double best = wanted;
    double bestDistance = -1;
    for (const VideoFormatOffer &offer : m_offers) {
        if (offer.pixelFormat != format.pixelFormat || offer.size != format.size)
            continue;
        for (const double rate : offer.framesPerSecond) {
            const double distance = std::abs(rate - wanted);
            if (bestDistance < 0 || distance < bestDistance - 1e-9) {
                best = rate;
                bestDistance = distance;
            }
        }
    }
    return best;
}

// After a change of size, colour format or rate: the rate the device offers nearest to the
// one asked for, and the device restarted in the new format.
void CaptureControl::applyFormat(bool onlyIfRateChanged)
{
    const double was = m_frameRate;
    m_frameRate = nearestRate(m_wantedFrameRate);
    if (std::abs(m_frameRate - m_wantedFrameRate) > 1e-6)
        emitStatusText(QStringLiteral("%1 does not offer %2 frames per second at %3; using %4")
                           .arg(m_source->name(), rateText(m_wantedFrameRate),
                                sizeName(currentFormat().size), rateText(m_frameRate)));
    if (m_pump && (!onlyIfRateChanged || std::abs(m_frameRate - was) > 1e-9))
        m_pump->requestFormat(currentFormat());
}

QString CaptureControl::VideoResolutionName(int index) const
{
    return index >= 0 && index < int(m_sizes.size()) ? sizeName(m_sizes[std::size_t(index)])
                                                     : QString();
}

CaptureFailure CaptureControl::setVideoResolution(int index)
{
    if (!m_source)
        return captureError(capture_error::kNotConnected, QStringLiteral("No device is connected"));
    if (index < 0 || index >= VideoResolutionCount())
        return captureError(capture_error::kBadValue,
                            QStringLiteral("There is no resolution %1").arg(index));
    if (index == m_sizeIndex)
        return std::nullopt;
    if (Capturing())
        return captureError(capture_error::kBusyRecording,
                            QStringLiteral("A recording is running"));
    m_sizeIndex = index;
    applyFormat(false);
    return std::nullopt;
}

QString CaptureControl::ColorFormatName(int index) const
{
    return m_pixelFormatNames.value(index);
}

CaptureFailure CaptureControl::setColorFormat(int index)
{
    if (!m_source)
        return captureError(capture_error::kNotConnected, QStringLiteral("No device is connected"));
    if (index < 0 || index >= ColorFormatCount())
        return captureError(capture_error::kBadValue,
                            QStringLiteral("There is no colour format %1").arg(index));
    if (index == m_pixelFormatIndex)
        return std::nullopt;
    if (Capturing())
        return captureError(capture_error::kBusyRecording,
                            QStringLiteral("A recording is running"));
    const QSize wanted = currentFormat().size;
    m_pixelFormatIndex = index;
    fillFormatLists();
    if (currentFormat().size != wanted)
        emitStatusText(QStringLiteral("%1 does not offer %2 in %3; using %4")
                           .arg(m_source->name(), sizeName(wanted), m_pixelFormatNames[index],
                                sizeName(currentFormat().size)));
    applyFormat(false);
    return std::nullopt;
}

CaptureFailure CaptureControl::setVideoSize(QSize size)
{
    if (!m_source)
        return captureError(capture_error::kNotConnected, QStringLiteral("No device is connected"));
    if (m_sizes.empty() || size.isEmpty())
        return captureError(capture_error::kBadValue,
                            QStringLiteral("No picture size %1").arg(sizeName(size)));
    int best = 0;
    const auto distance = [&](QSize s) {
        return std::abs(qint64(s.width()) * s.height() - qint64(size.width()) * size.height()) +
               std::abs(s.width() - size.width()) + std::abs(s.height() - size.height());
    };
    for (int i = 1; i < int(m_sizes.size()); ++i) {
        if (distance(m_sizes[std::size_t(i)]) < distance(m_sizes[std::size_t(best)]))
            best = i;
    }
    if (m_sizes[std::size_t(best)] != size)
        emitStatusText(
            QStringLiteral("%1 does not offer %2; using %3")
                .arg(m_source->name(), sizeName(size), sizeName(m_sizes[std::size_t(best)])));
    if (best == m_sizeIndex)
        return std::nullopt;
    return setVideoResolution(best);
}

QSize CaptureControl::videoSize() const
{
    return currentFormat().size;
}

void CaptureControl::setFrameRate(double framesPerSecond)
{
    if (!(framesPerSecond > 0) || Capturing())
        return;
    m_wantedFrameRate = framesPerSecond;
    if (!m_source) {
        m_frameRate = framesPerSecond;
        return;
    }
    applyFormat(true);
}

void CaptureControl::setTimeLimit(int seconds)
{
    m_timeLimitSeconds = std::max(0, seconds);
    m_timeLimitExact = m_timeLimitSeconds;
}

void CaptureControl::setTimeLimitSeconds(double seconds)
{
    m_timeLimitExact = std::max(0.0, seconds);
    m_timeLimitSeconds = int(std::ceil(m_timeLimitExact));
}

// --- Compressors and sound ---------------------------------------------------------------------

CaptureFailure CaptureControl::setVideoCompressor(int index)
{
    if (index < -1 || index >= VideoCompressorCount())
        return captureError(capture_error::kBadValue,
                            QStringLiteral("There is no compressor %1").arg(index));
    if (Capturing() && index != m_compressor)
        return captureError(capture_error::kBusyRecording,
                            QStringLiteral("A recording is running"));
    m_compressor = index;
    return std::nullopt;
}

int CaptureControl::AudioDeviceCount() const
{
    return int(m_catalog->audioDeviceNames().size());
}

QString CaptureControl::AudioDeviceName(int index) const
{
    return m_catalog->audioDeviceNames().value(index);
}

CaptureFailure CaptureControl::setAudioDeviceIndex(int index)
{
    if (index < -1 || index >= AudioDeviceCount())
        return captureError(capture_error::kBadValue,
                            QStringLiteral("There is no audio device %1").arg(index));
    if (Capturing() && index != m_audioIndex)
        return captureError(capture_error::kBusyRecording,
                            QStringLiteral("A recording is running"));
    m_audioIndex = index;
    return std::nullopt;
}

CaptureFailure CaptureControl::setAudioCompressor(int index)
{
    if (index != -1)
        return captureError(capture_error::kBadValue,
                            QStringLiteral("Sound is recorded as PCM only"));
    return std::nullopt;
}

CaptureFailure CaptureControl::setAudioFormat(int sampleRate, int channels, int bitsPerSample)
{
    if (sampleRate < 8000 || sampleRate > 192000 || (channels != 1 && channels != 2) ||
        (bitsPerSample != 8 && bitsPerSample != 16))
        return captureError(capture_error::kBadValue,
                            QStringLiteral("No sound format %1 Hz, %2 bit, %3 channels")
                                .arg(sampleRate)
                                .arg(bitsPerSample)
                                .arg(channels));
    if (Capturing())
        return captureError(capture_error::kBusyRecording,
                            QStringLiteral("A recording is running"));
    m_audioRate = sampleRate;
    m_audioChannels = channels;
    m_audioBits = bitsPerSample;
    return std::nullopt;
}

void CaptureControl::setListen(bool on)
{
    m_listen = on;
}

// --- Preview ---------------------------------------------------------------------------------

CaptureFailure CaptureControl::setPreviewEnabled(bool on)
{
    m_preview = on;
    if (m_pump)
        m_pump->setPreview(on, m_previewSize);
    if (!on)
        m_previewSignalPending = false;
    updateAutoSave();
    return std::nullopt;
}

void CaptureControl::setPreviewSize(QSize size)
{
    if (size.isEmpty())
        return;
    m_previewSize = size;
    if (m_pump)
        m_pump->setPreview(m_preview, size);
}

QImage CaptureControl::takePreviewPicture()
{
    m_previewSignalPending = false;
    return m_pump ? m_pump->takePreview() : QImage();
}

// --- Stream capture ----------------------------------------------------------------------------

CaptureFailure CaptureControl::StartCapture()
{
    using namespace capture_error;
    if (Capturing())
        return captureError(kBusyRecording, QStringLiteral("A recording is already running"));
    if (!m_source)
        return captureError(kNotConnected, QStringLiteral("No capture device is connected"));
    if (m_captureFile.trimmed().isEmpty())
        return captureError(kFileFailed, QStringLiteral("No capture file name"));

    RecordingPlan plan;
    plan.path = m_captureFile;
    plan.framesPerSecond = m_frameRate;
    plan.compressor = m_compressor;
    plan.compression = m_compression;
    plan.format = currentFormat();
    // The camera's own Motion JPEG goes into the file untouched.
    plan.copyPackets = m_compressor == compressor::kMotionJpeg &&
                       plan.format.pixelFormat == QLatin1String("mjpeg") && m_effect < 0;
    if (m_timeLimitExact > 0)
        plan.frameLimit = std::max<int64_t>(1, std::llround(m_timeLimitExact * m_frameRate));
    plan.byteLimit = m_writeLimitBytes;

    std::unique_ptr<AudioSource> audio;
    if (m_audioIndex >= 0) {
        QString error;
        audio = m_catalog->openAudio(m_audioIndex, error);
        Failure failed =
            audio ? audio->start(m_audioRate, m_audioChannels, m_audioBits) : Failure(error);
        if (failed) {
            emitWarning(QStringLiteral("Sound is not recorded: %1").arg(*failed));
            audio.reset();
        } else {
            plan.soundSampleRate = m_audioRate;
            plan.soundChannels = m_audioChannels;
            plan.soundBitsPerSample = m_audioBits;
        }
    }

    // A recording that ends by itself (its time limit, a full disk) is stopped on this thread.
    Result<std::unique_ptr<AviRecorder>> recorder =
        AviRecorder::start(plan, [this] { post([this] { onRecordingEnded(); }); });
    if (!recorder) {
        if (audio)
            audio->stop();
        return captureError(
            kFileFailed,
            QStringLiteral("Cannot record to %1: %2").arg(m_captureFile, recorder.error()));
    }
    m_recorder = std::move(recorder.value());
    AviRecorder *current = m_recorder.get();
    m_lastFrames = m_lastDropped = 0;
    m_lastSamples = m_lastTimeMs = 0;
    m_encodeUsPerFrame = 0;
    if (audio) {
        m_audioSource = std::move(audio);
        m_audioPump = std::make_unique<AudioPump>(*m_audioSource, *current);
        if (m_listen) {
            m_monitor = std::make_unique<AudioMonitor>();
            if (const Failure failed =
                    m_monitor->start(m_audioRate, m_audioChannels, m_audioBits)) {
                emitWarning(QStringLiteral("Listen: %1").arg(*failed));
                m_monitor.reset();
            } else {
                m_audioPump->setListener(
                    [monitor = m_monitor.get()](const QByteArray &pcm) { monitor->play(pcm); });
            }
        }
        m_audioPump->start();
    }
    m_pump->setRecorder(current);
    m_statisticsTimer.start();
    emitStatus(capture_status::kStatistics, statisticsText());
    emitStatusText(QStringLiteral("Capturing to %1").arg(m_captureFile));
    return std::nullopt;
}

void CaptureControl::StopCapture()
{
    finishRecording();
}

// Ends the recording; gives the warning told when the file could not be written whole.
QString CaptureControl::finishRecording()
{
    if (!m_recorder)
        return {};
    m_statisticsTimer.stop();
    if (m_pump)
        m_pump->setRecorder(nullptr);
    if (m_audioPump)
        m_audioPump->stop();
    m_audioPump.reset();
    if (m_monitor)
        m_monitor->stop();
    m_monitor.reset();
    if (m_audioSource)
        m_audioSource->stop();
    m_audioSource.reset();

    const Failure failed = m_recorder->stop();
    m_lastFrames = m_recorder->framesCaptured();
    m_lastDropped = m_recorder->framesDropped();
    m_lastSamples = m_recorder->samplesCaptured();
    m_lastTimeMs = m_recorder->captureTimeMs();
    m_encodeUsPerFrame = m_recorder->encodeMicrosecondsPerFrame();
    const QString path = m_recorder->plan().path;
    m_recorder.reset();
    QString warning;
    if (failed) {
        warning = QStringLiteral("The recording to %1 ended: %2. The frames written before are kept.")
                      .arg(path, *failed);
        emitWarning(warning);
    }
    emitStatus(capture_status::kStatistics, statisticsText());
    emitStatus(capture_status::kStreamReady, QStringLiteral("Capture complete: %1").arg(path));
    return warning;
}

// A recording that ends without being stopped (its time limit, a full disk, the camera gone) is
// told at once, so the screen that started it can move on with what was written. A file that
// never got a frame is no recording: it goes, and the same name can be recorded again.
// The recorder's and the camera's news reach this point posted, from the event loop, and the
// end is told there and then (whoever sees the recording stopped sees it told); news of the
// device list may come inside another call, so that end is told posted.
void CaptureControl::endBySelf(const QString &faultWarning, bool tellPosted)
{
    if (!m_recorder)
        return;
    const QString path = m_recorder->plan().path;
    const QString writeWarning = finishRecording();
    if (!faultWarning.isEmpty())
        emitWarning(faultWarning);
    if (m_lastFrames == 0)
        QFile::remove(path);
    const QString why = faultWarning.isEmpty() ? writeWarning : faultWarning;
    const RecordingEnd how = why.isEmpty() ? RecordingEnd::TimeLimit : RecordingEnd::Fault;
    if (tellPosted)
        post([this, how, why] { emit recordingEnded(how, why); });
    else
        emit recordingEnded(how, why);
}

void CaptureControl::onRecordingEnded()
{
    if (m_recorder && m_recorder->ended())
        endBySelf({}, false);
}

void CaptureControl::keepStatistics()
{
    if (m_recorder)
        emitStatus(capture_status::kStatistics, statisticsText());
}

QString CaptureControl::statisticsText() const
{
    return QStringLiteral("Captured %1 frames (%2 dropped), %3 ms")
        .arg(FramesCaptured())
        .arg(FramesDropped())
        .arg(CaptureTimeMs());
}

int CaptureControl::FramesCaptured() const
{
    return m_recorder ? m_recorder->framesCaptured() : m_lastFrames;
}

int CaptureControl::FramesDropped() const
{
    return m_recorder ? m_recorder->framesDropped() : m_lastDropped;
}

int64_t CaptureControl::SamplesCaptured() const
{
    return m_recorder ? m_recorder->samplesCaptured() : m_lastSamples;
}

int64_t CaptureControl::CaptureTimeMs() const
{
    return m_recorder ? m_recorder->captureTimeMs() : m_lastTimeMs;
}

// --- Still grab ----------------------------------------------------------------------------------

void CaptureControl::setStillOptions(const StillOptions &options)
{
    m_stillOptions = options;
    updateAutoSave();
}

// AutoSave runs while it is on with an Interval, a camera is connected and its preview runs;
// any change of those starts it, restarts it at a new Interval, or stops it.
void CaptureControl::updateAutoSave()
{
    if (!m_stillOptions.autoSave || m_stillOptions.intervalMs <= 0 || !m_pump || !m_preview) {
        stopAutoSave();
        return;
    }
    const int interval = std::max(m_stillOptions.intervalMs, kShortestAutoSaveIntervalMs);
    if (!m_autoSaveTimer.isActive() || m_autoSaveTimer.interval() != interval)
        m_autoSaveTimer.start(interval);
}

int CaptureControl::autoSaveIntervalMs() const
{
    return m_autoSaveTimer.isActive() ? m_autoSaveTimer.interval() : 0;
}

void CaptureControl::stopAutoSave()
{
    m_autoSaveTimer.stop();
}

// The newest frame written to `path` with `options`; `written` gets the file written (a
// numbered one with AutoIncrement).
CaptureFailure CaptureControl::writeNewestPicture(const QString &path, const StillOptions &options,
                                                  QString &written)
{
    using namespace capture_error;
    if (!m_pump)
        return captureError(kNotConnected, QStringLiteral("No capture device is connected"));
    Result<QImage> picture = m_pump->newestPicture();
    if (!picture)
        return captureError(kDeviceFailed, picture.error());
    const Result<QString> file = writeStillPicture(picture.value(), path, options);
    if (!file)
        return captureError(kFileFailed,
                            QStringLiteral("Cannot write %1: %2").arg(path, file.error()));
    written = file.value();
    return std::nullopt;
}

CaptureFailure CaptureControl::GrabStill()
{
    using namespace capture_error;
    if (!m_pump)
        return captureError(kNotConnected, QStringLiteral("No capture device is connected"));
    if (m_stillFile.trimmed().isEmpty())
        return captureError(kFileFailed, QStringLiteral("No still file name"));
    if (!m_stillOptions.autoIncrement && !m_framePicture.isEmpty() &&
        QFileInfo(m_stillFile).absoluteFilePath() == QFileInfo(m_framePicture).absoluteFilePath())
        return captureError(kFileFailed,
                            QStringLiteral("%1 is the picture the measure screen marks; choose "
                                           "another still file name")
                                .arg(m_stillFile));
    // AutoIncrement numbers the files beside StillFileName; the writer picks the free name.
    QString written;
    if (const CaptureFailure failed = writeNewestPicture(m_stillFile, m_stillOptions, written))
        return failed;
    emitStatusText(QStringLiteral("Still picture written to %1").arg(written));
    return std::nullopt;
}

CaptureFailure CaptureControl::grabFramePicture(const QString &path)
{
    // Plain options: no numbering, no caption; the writer replaces the file whole.
    QString written;
    if (const CaptureFailure failed = writeNewestPicture(path, StillOptions(), written))
        return failed;
    m_framePicture = path;
    return std::nullopt;
}

// --- Dialogs -----------------------------------------------------------------------------------

bool CaptureControl::HasDialog(int code) const
{
    switch (code & ~capture_dialog::kEffectFlag) {
    case capture_dialog::kVideoSource:
        return m_source != nullptr;
    case capture_dialog::kVideoCompression:
        return compressorHasSettings(m_compressor);
    case capture_dialog::kAudioFormat:
        return true;
    default:
        return false;
    }
}

std::vector<DeviceSetting> CaptureControl::DialogSettings(int code) const
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
    switch (code & ~capture_dialog::kEffectFlag) {
    case capture_dialog::kVideoSource:
        if (m_source) {
            settings = m_source->controls();
            const VideoFormat format = currentFormat();
            DeviceSetting described;
            described.id = QStringLiteral("format");
            described.name = QStringLiteral("Format");
            described.kind = DeviceSetting::Kind::Menu;
            described.menuItems << QStringLiteral("%1, %2, %3 frames per second")
                                       .arg(ColorFormatName(m_pixelFormatIndex),
                                            sizeName(format.size), rateText(m_frameRate));
            described.readOnly = true;
            settings.push_back(described);
        }
        break;
    case capture_dialog::kVideoCompression:
        if (compressorHasSettings(m_compressor))
            integer(QStringLiteral("quality"), QStringLiteral("Quality"), 1, 100, 1,
                    CompressorSettings().quality, m_compression.quality);
        if (m_compressor == compressor::kH264)
            integer(QStringLiteral("keyFrameInterval"), QStringLiteral("Key frame every"), 1, 300,
                    1, CompressorSettings().keyFrameInterval, m_compression.keyFrameInterval);
        break;
    case capture_dialog::kAudioFormat:
        integer(QStringLiteral("sampleRate"), QStringLiteral("Samples per second"), 8000, 48000, 1,
                44100, m_audioRate);
        integer(QStringLiteral("bitsPerSample"), QStringLiteral("Bits per sample"), 8, 16, 8, 16,
                m_audioBits);
        integer(QStringLiteral("channels"), QStringLiteral("Channels"), 1, 2, 1, 2,
                m_audioChannels);
        break;
    default:
        break;
    }
    return settings;
}

CaptureFailure CaptureControl::setDialogSetting(int code, const QString &id, int value)
{
    const auto bad = [&] {
        return captureError(capture_error::kBadValue,
                            QStringLiteral("%1 cannot be set to %2").arg(id).arg(value));
    };
    for (const DeviceSetting &s : DialogSettings(code)) {
        if (s.id != id)
            continue;
        if (s.readOnly || value < s.minimum || value > s.maximum)
            return bad();
        switch (code & ~capture_dialog::kEffectFlag) {
        case capture_dialog::kVideoSource:
            if (const Failure failed = m_source->setControl(id, value))
                return captureError(capture_error::kDeviceFailed, *failed);
            return std::nullopt;
        case capture_dialog::kVideoCompression:
            if (Capturing())
                return captureError(capture_error::kBusyRecording,
                                    QStringLiteral("A recording is running"));
            (id == QLatin1String("quality") ? m_compression.quality
                                            : m_compression.keyFrameInterval) = value;
            return std::nullopt;
        case capture_dialog::kAudioFormat:
            if (id == QLatin1String("sampleRate"))
                return setAudioFormat(value, m_audioChannels, m_audioBits);
            if (id == QLatin1String("bitsPerSample"))
                return setAudioFormat(m_audioRate, m_audioChannels, value);
            return setAudioFormat(m_audioRate, value, m_audioBits);
        default:
            return bad();
        }
    }
    return bad();
}

// --- Tuner ---------------------------------------------------------------------------------------

bool CaptureControl::HasTuner() const
{
    return m_source && m_source->hasTuner();
}

int CaptureControl::TunerChannel() const
{
    return m_source ? m_source->tunerChannel() : 0;
}

CaptureFailure CaptureControl::setTunerChannel(int channel)
{
    if (!m_source)
        return captureError(capture_error::kNotConnected, QStringLiteral("No device is connected"));
    if (const Failure failed = m_source->setTunerChannel(channel))
        return captureError(capture_error::kBadValue, *failed);
    return std::nullopt;
}

int CaptureControl::MinChannel() const
{
    return m_source ? m_source->minChannel() : 0;
}

int CaptureControl::MaxChannel() const
{
    return m_source ? m_source->maxChannel() : 0;
}

// --- Device arrival, removal, failure ---------------------------------------------------------

void CaptureControl::onVideoDeviceChanged(int change, int index, const QString &name)
{
    const bool connectedOne = m_source && index == m_videoIndex;
    if (change == 1) {
        if (connectedOne) {
            if (Capturing()) {
                endBySelf(
                    QStringLiteral(
                        "%1 was removed; the recording to %2 ended with the frames written before")
                        .arg(name, m_recorder->plan().path),
                    true);
            } else {
                emitWarning(QStringLiteral("%1 was removed").arg(name));
            }
            DisconnectDevice();
        }
        if (m_videoIndex > index || (m_videoIndex == index && !connectedOne))
            --m_videoIndex;
        if (m_videoIndex < 0 && VideoDeviceCount() > 0)
            m_videoIndex = 0;
    } else if (change == 0 && m_videoIndex >= index && m_source) {
        ++m_videoIndex;
    } else if (change == 0 && m_videoIndex < 0) {
        m_videoIndex = 0;
    }
    post([this, change, index, name] {
        emit deviceListChanged(kVideoSourcesCategory, change, index, name);
    });
}

void CaptureControl::onAudioDeviceChanged(int change, int index, const QString &name)
{
    if (change == 1 && m_audioIndex >= index)
        m_audioIndex = m_audioIndex == index ? -1 : m_audioIndex - 1;
    else if (change == 0 && m_audioIndex >= index)
        ++m_audioIndex;
    post([this, change, index, name] {
        emit deviceListChanged(kAudioSourcesCategory, change, index, name);
    });
}

void CaptureControl::onDeviceEnded(const QString &reason)
{
    if (!m_source)
        return;
    const QString name = m_source->name();
    if (Capturing()) {
        endBySelf(QStringLiteral("%1 stopped delivering pictures (%2); the recording to %3 ended "
                                 "with the frames written before")
                      .arg(name, reason, m_recorder->plan().path),
                  false);
    } else {
        emitWarning(QStringLiteral("%1 stopped delivering pictures: %2").arg(name, reason));
    }
    DisconnectDevice();
}

// --- Effects
// ---------------------------------------------------------------------------------------

int CaptureControl::EffectCount(const QString &group) const
{
    return group == kVideoEffectGroup ? int(VideoEffectFilter::effectNames().size()) : 0;
}

QString CaptureControl::EffectName(const QString &group, int index) const
{
    return group == kVideoEffectGroup ? VideoEffectFilter::effectNames().value(index) : QString();
}

int CaptureControl::FindEffect(const QString &group, const QString &name) const
{
    return group == kVideoEffectGroup ? int(VideoEffectFilter::effectNames().indexOf(name)) : -1;
}

CaptureFailure CaptureControl::SetEffect(const QString &group, int id, int)
{
    if (group != kVideoEffectGroup || id < -1 || id >= EffectCount(group))
        return captureError(capture_error::kBadValue,
                            QStringLiteral("There is no effect %1").arg(id));
    if (Capturing() && id != m_effect)
        return captureError(capture_error::kBusyRecording,
                            QStringLiteral("A recording is running"));
    m_effect = id;
    installEffect();
    return std::nullopt;
}

// The effect runs on the device thread, so the preview, still grabs and recordings all show it.
void CaptureControl::installEffect()
{
    if (!m_pump)
        return;
    if (m_effect < 0) {
        m_pump->setPictureStep({});
        return;
    }
    struct EffectState
    {
        VideoEffectFilter filter;
        QSize size;
        int format = -1;
        bool failed = false;
    };
    auto state = std::make_shared<EffectState>();
    const int id = m_effect;
    m_pump->setPictureStep([this, state, id](const AVFrame &picture) -> ffmpeg::Frame {
        const QSize size(picture.width, picture.height);
        if (size != state->size || picture.format != state->format) {
            // The first frame, or the camera's format changed: the graph is built for it.
            state->size = size;
            state->format = picture.format;
            const Failure failed = state->filter.configure(id, size, picture.format);
            state->failed = failed.has_value();
            if (failed)
                emitWarning(*failed);
        }
        if (state->failed)
            return nullptr;
        QString error;
        return state->filter.apply(picture, error);
    });
}

} // namespace skelvin
