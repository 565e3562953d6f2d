#include "core/measure/PictureKeeper.h"

#include "core/common/Clock.h"
#include "core/common/JumpHandOver.h"
#include "core/common/NumberText.h"
#include "core/common/Paths.h"
#include "core/common/Prompter.h"
#include "core/common/SafeFile.h"
#include "core/common/TextFile.h"
#include "core/common/TournamentState.h"
#include "core/logs/DebugLog.h"
#include "core/logs/ResultsFile.h"
#include "core/logs/SessionLog.h"
#include "core/logs/SessionLogListing.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace skelvin {

const QString PictureKeeper::kNoPictureText =
    QStringLiteral("There is no picture on the screen to save.");

const QString PictureKeeper::kNotStandardVideoText =
    QStringLiteral("Warning, this is not a  standard KRX file so it will not be saved in the Log "
                   "for future reference");

PictureKeeper::PictureKeeper(Services services) : m_services(std::move(services)) {}

QString PictureKeeper::pictureFilePath(const MeasureState &state) const
{
    return m_services.videoDirectory + QLatin1Char('/') + state.skierName + QStringLiteral("jump") +
           state.jumpNo.trimmed() + m_services.tournament.pictureExtension;
}

bool PictureKeeper::appendSessionLog(const QString &line, const QString &keptFile)
{
    return appendSessionLogIn(QFileInfo(keptFile).absolutePath(), line);
}

bool PictureKeeper::logCameraFollowed(const QString &followText)
{
    const Clock &clock = m_services.clock;
    const QString folder = m_services.videoDirectory.isEmpty()
                               ? QString()
                               : QDir(m_services.videoDirectory).absolutePath();
    return appendSessionLogIn(folder,
                              NoteLogLine(clock.dateText(), clock.timeText(), followText));
}

bool PictureKeeper::appendSessionLogIn(const QString &folder, const QString &line)
{
    // The log of this run, opened at start-up with its start line, where the log viewers look;
    // after midnight too. A file kept in another folder (the video folder was changed since
    // start-up), or a run that opened no log, takes the day's log of the file's own folder,
    // so the log always sits beside the files it lists.
    const QString &startLog = m_services.sessionLogPath;
    const QString path = !startLog.isEmpty() && QFileInfo(startLog).absolutePath() == folder
                             ? startLog
                             : sessionLogPath(folder, m_services.clock.dateText());
    const Failure f = path.isEmpty() ? Failure(QStringLiteral("no video directory is set"))
                                     : appendTextLines(path, {line});
    if (f) {
        m_services.prompter.inform(QStringLiteral("The session log could not be written.\n") + *f,
                                   MessageIcon::Exclamation);
        return false;
    }
    return true;
}

bool PictureKeeper::SavePict(const MeasureState &state, const QImage &shownPicture,
                             bool shownIsFramePicture)
{
    Prompter &prompter = m_services.prompter;
    if (!hasPicture(shownPicture, shownIsFramePicture)) {
        prompter.inform(kNoPictureText, MessageIcon::Exclamation);
        return false;
    }
    QString path = pictureFilePath(state);
    m_services.debugLog.DebugLogWrite(QStringLiteral("save ") + path);

    if (QFileInfo::exists(path)) {
        // Yes replaces the old picture, but only once the new one is in place: a save that
        // fails keeps it.
        if (!prompter.askYesNo(QStringLiteral("File: ") + path +
                               QStringLiteral(" already exists.  Do you want to overwrite it?"))) {
            while (QFileInfo::exists(path)) {
                const std::optional<QString> renamed = prompter.input(
                    {QStringLiteral(
                         "This File Name already exists. You must rename the file before saving."),
                     QStringLiteral("Rename Picture"), path});
                // Cancelling the rename, or giving no name, keeps the old picture and saves
                // nothing.
                if (!renamed || renamed->trimmed().isEmpty())
                    return false;
                path = *renamed;
            }
        }
    }

    const QString frame = m_services.paths.currentCapture();
    Failure failed;
    if (shownIsFramePicture && QFileInfo::exists(frame)) {
        // Move, then copy back, so the measure screen's frame picture stays available.
        failed = moveFileOver(frame, path);
        if (!failed)
            QFile::copy(path, frame);
    } else {
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        failed = shownPicture.save(&buffer, "BMP")
                     ? replaceFileBytes(path, bytes)
                     : Failure(path + QStringLiteral(": the picture could not be encoded"));
    }
    if (failed) {
        prompter.inform(QStringLiteral("The picture could not be saved as %1.\n%2").arg(path, *failed),
                        MessageIcon::Exclamation);
        return false;
    }
    m_services.debugLog.DebugLogWrite(QStringLiteral("Picture actually Saved"));

    const QString date = m_services.clock.dateText();
    const QString time = m_services.clock.timeText();
    m_services.results.append(date + QLatin1Char(' ') + time + QStringLiteral(" Saved picture: ") +
                              path);
    // The capture screen's attempt box has moved on to the next attempt already: the picture
    // belongs to the one before, in its side file as in its log line.
    const double attempt = Val(m_services.handOver.captureAttemptText) - 1;
    if (const Failure f =
            writeTextLines(path + QStringLiteral(".info"),
                           {path + QStringLiteral(", ") + m_services.handOver.captureSkierName +
                            QStringLiteral(", ") + CStr(attempt)}))
        prompter.inform(QStringLiteral("The picture's side file could not be written.\n") + *f,
                        MessageIcon::Exclamation);
    appendSessionLog(PictureLogLine(date, time, m_services.handOver.captureSkierName, attempt,
                                    state.distanceText, path),
                     path);
    return true;
}

bool PictureKeeper::hasPicture(const QImage &shownPicture, bool shownIsFramePicture) const
{
    return shownIsFramePicture ? QFileInfo::exists(m_services.paths.currentCapture())
                               : !shownPicture.isNull();
}

void PictureKeeper::applyPicturePolicy(const MeasureState &state, const QImage &shownPicture,
                                       bool shownIsFramePicture)
{
    // Nothing on show: nothing to keep and nothing to ask.
    if (!hasPicture(shownPicture, shownIsFramePicture))
        return;
    switch (m_services.tournament.pictureSavePolicy) {
    case SavePolicy::Save:
        SavePict(state, shownPicture, shownIsFramePicture);
        break;
    case SavePolicy::Ask:
        if (m_services.prompter.askYesNo(QStringLiteral("Do you want to save this picture?")))
            SavePict(state, shownPicture, shownIsFramePicture);
        break;
    case SavePolicy::NoSave:
        break;
    }
}

void PictureKeeper::eraseVideo(const QString &path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (!QFile::remove(path) && QFileInfo::exists(path)) {
        m_services.prompter.inform(QStringLiteral("The video %1 could not be erased.").arg(path),
                                   MessageIcon::Exclamation);
        return;
    }
    m_services.debugLog.DebugLogWrite(QStringLiteral("Video File ") + path +
                                      QStringLiteral(" Erased"));
}

void PictureKeeper::logVideo(const QString &path)
{
    const std::optional<VideoNameParts> parts = videoNameParts(path);
    if (!parts || !SessionLogListing::names(path, QStringLiteral("avi"))) {
        m_services.prompter.inform(kNotStandardVideoText, MessageIcon::Exclamation);
        return;
    }
    const int frame = m_services.handOver.measuredFrame;
    appendSessionLog(VideoLogLine(m_services.clock.dateText(), m_services.clock.timeText(),
                                  parts->skier, parts->jump, frame, path),
                     path);
    if (const Failure f =
            writeTextLines(path + QStringLiteral(".info"), {path + QLatin1Char(',') + Str(frame)}))
        m_services.prompter.inform(QStringLiteral("The video's side file could not be written.\n") +
                                       *f,
                                   MessageIcon::Exclamation);
}

void PictureKeeper::applyVideoPolicy()
{
    // No video was measured (a picture loaded from a file or the clipboard), or the video
    // measured was kept earlier and opened again: the policy is for new recordings.
    if (!m_services.handOver.measuredVideoIsJumpRecording())
        return;
    const QString path = m_services.handOver.measuredVideoFile;
    bool keep = false;
    switch (m_services.tournament.videoSavePolicy) {
    case SavePolicy::NoSave:
        keep = false;
        break;
    case SavePolicy::Ask:
        keep =
            m_services.prompter.askYesNo(QStringLiteral("Do you want to save this video capture?"));
        break;
    case SavePolicy::Save:
        keep = true;
        break;
    }
    if (!keep) {
        eraseVideo(path);
        return;
    }
    logVideo(path);
    m_services.debugLog.DebugLogWrite(QStringLiteral("Video File ") + path +
                                      QStringLiteral(" Saved"));
}

} // namespace skelvin
