#include "core/capture/CaptureControl.h"

#include "core/capture/AudioMonitor.h"
#include "core/capture/AudioPump.h"
#include "core/capture/ContactSearchFeed.h"
#include "core/capture/VideoPump.h"
#include "core/capture/recording/AviRecorder.h"
#include "core/vision/recordings/RecordingContactSearch.h"

#include <QFile>

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

QString queueFullWarning(const QString &path, qint64 boundBytes)
{
    return QStringLiteral(
               "The recording to %1 is falling behind: the frames waiting to be compressed fill "
               "the %2 MiB set aside for them, and frames are being left out (each keeps its "
               "time as an empty frame). Record with a compressor this computer keeps up with, "
               "or with Motion JPEG from a Motion JPEG camera.")
        .arg(path)
        .arg(boundBytes / (1024 * 1024));
}

} // namespace

CaptureControl::CaptureControl(std::unique_ptr<DeviceCatalog> catalog, QObject *parent)
    : CaptureDevice(parent), m_catalog(std::move(catalog)),
      m_compressorNames(videoCompressorNames()),
      m_stills({[this] { return m_pump.get(); }, [this] { return m_preview; },
                [this] { return Capturing(); },
                [this](const QString &text) { emitStatusText(text); },
                [this](const QString &text) { emitWarning(text); }})
{
    if (VideoDeviceCount() > 0)
        m_videoIndex = 0;
    connect(m_catalog.get(), &DeviceCatalog::videoDeviceChanged, this,
            &CaptureControl::onVideoDeviceChanged);
    connect(m_catalog.get(), &DeviceCatalog::audioDeviceChanged, this,
            &CaptureControl::onAudioDeviceChanged);
    m_statisticsTimer.setInterval(1000);
    connect(&m_statisticsTimer, &QTimer::timeout, this, &CaptureControl::keepStatistics);
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
    std::vector<VideoFormatOffer> offers = source->formats();
    if (offers.empty())
        return captureError(kDeviceFailed,
                            QStringLiteral("%1 offers no picture format").arg(source->name()));
    m_videoIndex = index;
    m_source = std::move(source);
    m_formats.setOffers(std::move(offers));
    m_frameRate = m_formats.nearestRate(m_wantedFrameRate);

    if (const Failure failed = m_source->start(currentFormat())) {
        m_source.reset();
        m_formats.clear();
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
    m_stills.updateAutoSave();
    return std::nullopt;
}

void CaptureControl::DisconnectDevice()
{
    StopCapture();
    m_stills.stopAutoSave();
    if (m_pump)
        m_pump->stop();
    m_pump.reset();
    if (m_source)
        m_source->stop();
    m_source.reset();
    m_formats.clear();
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

VideoFormat CaptureControl::currentFormat() const
{
    return m_formats.format(m_frameRate);
}

// After a change of size, colour format or rate: the rate the device offers nearest to the
// one asked for, and the device restarted in the new format.
void CaptureControl::applyFormat(bool onlyIfRateChanged)
{
    const double was = m_frameRate;
    m_frameRate = m_formats.nearestRate(m_wantedFrameRate);
    if (std::abs(m_frameRate - m_wantedFrameRate) > 1e-6)
        emitStatusText(QStringLiteral("%1 does not offer %2 frames per second at %3; using %4")
                           .arg(m_source->name(), rateText(m_wantedFrameRate),
                                sizeName(currentFormat().size), rateText(m_frameRate)));
    if (m_pump && (!onlyIfRateChanged || std::abs(m_frameRate - was) > 1e-9))
        m_pump->requestFormat(currentFormat());
}

QString CaptureControl::VideoResolutionName(int index) const
{
    return index >= 0 && index < VideoResolutionCount() ? sizeName(m_formats.size(index))
                                                        : QString();
}

CaptureFailure CaptureControl::setVideoResolution(int index)
{
    if (!m_source)
        return captureError(capture_error::kNotConnected, QStringLiteral("No device is connected"));
    if (index < 0 || index >= VideoResolutionCount())
        return captureError(capture_error::kBadValue,
                            QStringLiteral("There is no resolution %1").arg(index));
    if (index == m_formats.sizeIndex())
        return std::nullopt;
    if (Capturing())
        return captureError(capture_error::kBusyRecording,
                            QStringLiteral("A recording is running"));
    m_formats.chooseSize(index);
    applyFormat(false);
    return std::nullopt;
}

QString CaptureControl::ColorFormatName(int index) const
{
    return m_formats.colourFormatName(index);
}

CaptureFailure CaptureControl::setColorFormat(int index)
{
    if (!m_source)
        return captureError(capture_error::kNotConnected, QStringLiteral("No device is connected"));
    if (index < 0 || index >= ColorFormatCount())
        return captureError(capture_error::kBadValue,
                            QStringLiteral("There is no colour format %1").arg(index));
    if (index == m_formats.colourFormat())
        return std::nullopt;
    if (Capturing())
        return captureError(capture_error::kBusyRecording,
                            QStringLiteral("A recording is running"));
    const QSize wanted = currentFormat().size;
    m_formats.chooseColourFormat(index);
    if (currentFormat().size != wanted)
        emitStatusText(QStringLiteral("%1 does not offer %2 in %3; using %4")
                           .arg(m_source->name(), sizeName(wanted), ColorFormatName(index),
                                sizeName(currentFormat().size)));
    applyFormat(false);
    return std::nullopt;
}

CaptureFailure CaptureControl::setVideoSize(QSize size)
{
    if (!m_source)
        return captureError(capture_error::kNotConnected, QStringLiteral("No device is connected"));
    const int best = m_formats.nearestSize(size);
    if (best < 0 || size.isEmpty())
        return captureError(capture_error::kBadValue,
                            QStringLiteral("No picture size %1").arg(sizeName(size)));
    if (m_formats.size(best) != size)
        emitStatusText(QStringLiteral("%1 does not offer %2; using %3")
                           .arg(m_source->name(), sizeName(size), sizeName(m_formats.size(best))));
    if (best == m_formats.sizeIndex())
        return std::nullopt;
    return setVideoResolution(best);
}

CaptureFailure CaptureControl::setPixelFormat(const QString &pixelFormat)
{
    if (!m_source)
        return captureError(capture_error::kNotConnected, QStringLiteral("No device is connected"));
    const int index = m_formats.colourFormatIndex(pixelFormat);
    if (index < 0)
        return captureError(
            capture_error::kBadValue,
            QStringLiteral("%1 does not deliver %2").arg(m_source->name(), pixelFormat));
    return setColorFormat(index);
}

QSize CaptureControl::videoSize() const
{
    return currentFormat().size;
}

QString CaptureControl::formatDescription() const
{
    return QStringLiteral("%1, %2, %3 frames per second")
        .arg(ColorFormatName(ColorFormat()), sizeName(currentFormat().size), rateText(m_frameRate));
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
    m_stills.updateAutoSave();
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
    plan.compression = m_dialogs.compression();
    plan.format = currentFormat();
    // The camera's own Motion JPEG goes into the file untouched.
    plan.copyPackets = m_compressor == compressor::kMotionJpeg &&
                       plan.format.pixelFormat == QLatin1String("mjpeg") && m_effects.current() < 0;
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
    Result<std::unique_ptr<AviRecorder>> recorder = AviRecorder::start(
        plan, [this] { post([this] { onRecordingEnded(); }); },
        // Never silent: the operator learns at once that frames are being left out.
        [this, path = m_captureFile, bound = plan.queueBytes] {
            emitWarning(queueFullWarning(path, bound));
        });
    if (!recorder) {
        if (audio)
            audio->stop();
        return captureError(
            kFileFailed,
            QStringLiteral("Cannot record to %1: %2").arg(m_captureFile, recorder.error()));
    }
    m_recorder = std::move(recorder.value());
    AviRecorder *current = m_recorder.get();
    // Asked for one recording only: a test capture from the panel afterwards is not searched.
    m_contactSearch.reset();
    m_contactSearchPath.clear();
    if (m_contactGrid) {
        m_contactSearch = std::make_shared<RecordingContactSearch>(*m_contactGrid);
        m_contactSearchPath = m_captureFile;
        current->watchFrames(contactSearchFeed(m_contactSearch));
        m_contactGrid.reset();
    }
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

std::shared_ptr<RecordingContactSearch>
CaptureControl::contactSearchOf(const QString &videoPath) const
{
    if (Capturing() || videoPath.isEmpty() || videoPath != m_contactSearchPath)
        return nullptr;
    return m_contactSearch;
}

int CaptureControl::FramesWaitingToBeWritten() const
{
    return m_recorder ? int(m_recorder->framesWaiting()) : 0;
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
    m_queueFigures.peakBytes = m_recorder->queuePeakBytes();
    m_queueFigures.peakFrames = m_recorder->queuePeakFrames();
    m_queueFigures.boundBytes = m_recorder->queueBytesLimit();
    m_queueFigures.leftOut = m_recorder->framesLeftOutForQueue();
    m_queueFigures.copiedPackets = m_recorder->copiesPackets();
    const QString path = m_recorder->plan().path;
    m_recorder.reset();
    if (m_contactSearch)
        m_contactSearch->close(m_lastFrames);
    QString warning;
    if (failed) {
        warning =
            QStringLiteral("The recording to %1 ended: %2. The frames written before are kept.")
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
    m_stills.setOptions(options);
}

CaptureFailure CaptureControl::GrabStill()
{
    return m_stills.grabStill();
}

CaptureFailure CaptureControl::grabFramePicture(const QString &path)
{
    return m_stills.grabFramePicture(path);
}

QImage CaptureControl::newestFrame()
{
    if (!m_pump)
        return {};
    const Result<QImage> picture = m_pump->newestPicture();
    return picture ? picture.value() : QImage();
}

// --- Dialogs -----------------------------------------------------------------------------------

bool CaptureControl::HasDialog(int code) const
{
    return m_dialogs.has(code, m_source.get());
}

std::vector<DeviceSetting> CaptureControl::DialogSettings(int code) const
{
    return m_dialogs.settings(code, m_source.get());
}

CaptureFailure CaptureControl::setDialogSetting(int code, const QString &id, int value)
{
    return m_dialogs.set(code, id, value, m_source.get());
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

// --- Effects ---------------------------------------------------------------------------------

int CaptureControl::EffectCount(const QString &group) const
{
    return m_effects.count(group);
}

QString CaptureControl::EffectName(const QString &group, int index) const
{
    return m_effects.name(group, index);
}

int CaptureControl::FindEffect(const QString &group, const QString &name) const
{
    return m_effects.find(group, name);
}

CaptureFailure CaptureControl::SetEffect(const QString &group, int id, int)
{
    if (const CaptureFailure failed = m_effects.choose(group, id, Capturing()))
        return failed;
    installEffect();
    return std::nullopt;
}

// The effect runs on the device thread, so the preview, still grabs and recordings all show it.
void CaptureControl::installEffect()
{
    if (m_pump)
        m_effects.install(*m_pump, [this](const QString &text) { emitWarning(text); });
}

} // namespace skelvin
