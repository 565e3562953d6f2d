#pragma once

#include "core/measure/MeasureState.h"

#include <QImage>
#include <QString>

namespace skelvin {

class Clock;
class DebugLog;
class Paths;
class Prompter;
class ResultsFile;
struct JumpHandOver;
struct TournamentState;

// Keeps the evidence of a measured jump: saves the contact picture beside the videos with its
// side file and session-log line, and keeps (logging it) or erases the captured video, each by
// the operator's policy.
class PictureKeeper
{
public:
    // What keeping works with.
    struct Services
    {
        Prompter &prompter;
        Clock &clock;
        DebugLog &debugLog;
        ResultsFile &results;
        const TournamentState &tournament;
        const Paths &paths;
        const JumpHandOver &handOver;
        QString videoDirectory;
        // The session log opened at start-up; empty when none was opened.
        QString sessionLogPath;
    };

    explicit PictureKeeper(Services services);

    // "Save Picture". The picture saved is the frame picture of the application directory when
    // the shown picture came from it; otherwise `shownPicture` is written, so the file always
    // holds the picture that was measured. True when the picture was saved; with no picture
    // the operator is told so and nothing is saved.
    bool SavePict(const MeasureState &state, const QImage &shownPicture = QImage(),
                  bool shownIsFramePicture = true);

    // Saves the picture or not by the picture policy ("Save", "Ask", "NoSave").
    void applyPicturePolicy(const MeasureState &state, const QImage &shownPicture = QImage(),
                            bool shownIsFramePicture = true);

    // Keeps or erases the video that was measured, by the video policy, when it is the
    // recording made for this jump; a video kept earlier is left as it is.
    void applyVideoPolicy();

    // Notes in the session log that the camera was followed for this jump (what moved, by how
    // much); the operator is told when the log cannot be written.
    bool logCameraFollowed(const QString &followText);

    // <video directory>/<skier>jump<jump, blanks trimmed>.bmp
    QString pictureFilePath(const MeasureState &state) const;

    static const QString kNotStandardVideoText;
    static const QString kNoPictureText;

private:
    // Whether there is a picture to save: the frame picture file, or the picture on show.
    bool hasPicture(const QImage &shownPicture, bool shownIsFramePicture) const;
    void logVideo(const QString &path);
    void eraseVideo(const QString &path);
    // Appends a line about a kept file to the session log of the file's folder.
    bool appendSessionLog(const QString &line, const QString &keptFile);
    bool appendSessionLogIn(const QString &folder, const QString &line);

    Services m_services;
};

} // namespace skelvin
