#include "core/frames/RecordingRename.h"

#include "core/common/Paths.h"
#include "core/common/Prompter.h"

#include <QFile>
#include <QFileInfo>

namespace skelvin {

namespace {

const QString kEmptyPrompt =
    QStringLiteral("You must input a name. ") + QStringLiteral("Please try again ");

QString pathFor(const QString &directory, const QString &name, const QString &attempt)
{
    return withoutTrailingSeparator(directory) + QLatin1Char('/') + name + QStringLiteral("jump") +
           attempt + QStringLiteral(".avi");
}

} // namespace

const QString RecordingRename::kTitle = QStringLiteral("Fix the skier's name");

std::optional<QString> RecordingRename::askName(Prompter &prompter, const QString &prompt,
                                                const QString &proposed)
{
    std::optional<QString> answer = prompter.input({prompt, kTitle, proposed});
    if (!answer)
        return std::nullopt;
    // An empty answer is asked once more; the second answer stands whatever it is.
    if (answer->isEmpty())
        answer = prompter.input({kEmptyPrompt, kTitle, proposed});
    return answer;
}

RecordingRename::Outcome RecordingRename::resolve(const Request &request, Prompter &prompter)
{
    Outcome kept{false, request.recordingPath, request.captureSkierName};
    std::optional<QString> name = askName(
        prompter,
        QStringLiteral("The skier's name was changed to prevent overwriting ") +
            QStringLiteral("an existing file. You can change the skier's name here if you want. ") +
            QStringLiteral("Just modify it in the input box to what it should be. "),
        request.captureSkierName);
    if (!name)
        return kept;
    QString path = pathFor(request.videoDirectory, *name, QStringLiteral("1"));
    if (path != request.recordingPath) {
        QString attempt = request.captureAttempt;
        attempt.remove(QLatin1Char(' '));
        while (QFileInfo::exists(path)) {
            name = askName(prompter,
                           QStringLiteral("I am sorry, there is ") +
                               QStringLiteral("an existing file using that name and jump.  ") +
                               QStringLiteral("Please try again "),
                           request.captureSkierName);
            if (!name)
                return kept;
            path = pathFor(request.videoDirectory, *name, attempt);
            if (path == request.recordingPath)
                break;
        }
    }
    if (path != request.recordingPath && !QFile::rename(request.recordingPath, path)) {
        prompter.inform(QStringLiteral("The recording could not be renamed from %1 to %2. It "
                                       "stays under its recorded name.")
                            .arg(request.recordingPath, path),
                        MessageIcon::Exclamation);
        return kept;
    }
    return Outcome{true, path, *name};
}

} // namespace skelvin
