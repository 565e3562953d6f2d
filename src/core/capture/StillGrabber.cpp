#include "core/capture/StillGrabber.h"

#include "core/capture/VideoPump.h"
#include "core/capture/recording/StillPictureWriter.h"

#include <QFileInfo>

#include <algorithm>

namespace skelvin {

StillGrabber::StillGrabber(Hooks hooks) : m_hooks(std::move(hooks))
{
    QObject::connect(&m_autoSaveTimer, &QTimer::timeout, [this] { autoSaveTick(); });
}

void StillGrabber::setOptions(const StillOptions &options)
{
    m_options = options;
    updateAutoSave();
}

void StillGrabber::updateAutoSave()
{
    if (!m_options.autoSave || m_options.intervalMs <= 0 || !m_hooks.pump() ||
        !m_hooks.previewing()) {
        stopAutoSave();
        return;
    }
    const int interval = std::max(m_options.intervalMs, kShortestAutoSaveIntervalMs);
    if (!m_autoSaveTimer.isActive() || m_autoSaveTimer.interval() != interval)
        m_autoSaveTimer.start(interval);
}

void StillGrabber::stopAutoSave()
{
    m_autoSaveTimer.stop();
}

int StillGrabber::autoSaveIntervalMs() const
{
    return m_autoSaveTimer.isActive() ? m_autoSaveTimer.interval() : 0;
}

// A failing AutoSave stops, told once, rather than raise the same warning every interval.
// While a jump is recorded the still waits: the recording's frames come first.
void StillGrabber::autoSaveTick()
{
    if (m_hooks.recording())
        return;
    // Until the camera's first picture has come there is nothing to save yet: that is no
    // failure, the next tick tries again.
    if (VideoPump *pump = m_hooks.pump(); pump && !pump->hasNewestPicture())
        return;
    if (const CaptureFailure failed = grabStill()) {
        stopAutoSave();
        m_hooks.warning(QStringLiteral("AutoSave stopped: %1").arg(failed->description));
    }
}

// The newest frame written to `path` with `options`; `written` gets the file written (a
// numbered one with AutoIncrement).
CaptureFailure StillGrabber::writeNewestPicture(const QString &path, const StillOptions &options,
                                                QString &written)
{
    using namespace capture_error;
    VideoPump *pump = m_hooks.pump();
    if (!pump)
        return CaptureError{kNotConnected, QStringLiteral("No capture device is connected")};
    Result<QImage> picture = pump->newestPicture();
    if (!picture)
        return CaptureError{kDeviceFailed, picture.error()};
    const Result<QString> file = writeStillPicture(picture.value(), path, options);
    if (!file)
        return CaptureError{kFileFailed,
                            QStringLiteral("Cannot write %1: %2").arg(path, file.error())};
    written = file.value();
    return std::nullopt;
}

CaptureFailure StillGrabber::grabStill()
{
    using namespace capture_error;
    if (!m_hooks.pump())
        return CaptureError{kNotConnected, QStringLiteral("No capture device is connected")};
    if (m_stillFile.trimmed().isEmpty())
        return CaptureError{kFileFailed, QStringLiteral("No still file name")};
    if (!m_options.autoIncrement && !m_framePicture.isEmpty() &&
        QFileInfo(m_stillFile).absoluteFilePath() == QFileInfo(m_framePicture).absoluteFilePath())
        return CaptureError{kFileFailed,
                            QStringLiteral("%1 is the picture the measure screen marks; choose "
                                           "another still file name")
                                .arg(m_stillFile)};
    // AutoIncrement numbers the files beside StillFileName; the writer picks the free name.
    QString written;
    if (const CaptureFailure failed = writeNewestPicture(m_stillFile, m_options, written))
        return failed;
    m_hooks.statusText(QStringLiteral("Still picture written to %1").arg(written));
    return std::nullopt;
}

CaptureFailure StillGrabber::grabFramePicture(const QString &path)
{
    // Plain options: no numbering, no caption; the writer replaces the file whole.
    QString written;
    if (const CaptureFailure failed = writeNewestPicture(path, StillOptions(), written))
        return failed;
    m_framePicture = path;
    return std::nullopt;
}

} // namespace skelvin
