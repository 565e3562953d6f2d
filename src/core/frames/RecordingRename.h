#pragma once

#include <QString>

#include <optional>

namespace skelvin {

class Prompter;

// After a recording whose skier's name the capture screen had to change (a file of that name
// and attempt existed), frame selection asks for the name the skier should have and moves the
// recording to it: "<video directory>/<name>jump1.avi", the skier's first jump under that name.
// When that file exists too the question comes again until a free name is given; from then on
// the name is built with the capture screen's attempt number.
class RecordingRename
{
public:
    struct Request
    {
        QString videoDirectory;
        QString recordingPath;    // the file as recorded (the file box)
        QString captureSkierName; // the capture screen's skier name, as changed
        QString captureAttempt;   // the capture screen's attempt number, already moved on
    };

    struct Outcome
    {
        bool settled = false; // a name was given (the recording may have kept its path)
        QString path;         // where the recording is now
        QString skierName;    // the name the operator gave (the capture screen takes it)
    };

    static const QString kTitle;

    // Asks and renames. A cancelled question keeps the recording under its recorded name and
    // changes nothing. A rename that fails is told to the operator with both paths and the
    // recording stays where it is.
    static Outcome resolve(const Request &request, Prompter &prompter);

private:
    static std::optional<QString> askName(Prompter &prompter, const QString &prompt,
                                          const QString &proposed);
};

} // namespace skelvin
