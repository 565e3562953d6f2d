#include "core/capture/VideoFileName.h"

#include "core/common/NumberText.h"

#include <QFileInfo>

namespace skelvin {

QString videoFileName(const QString &videoDirectory, const QString &skierName,
                      const QString &attemptText)
{
    QString directory = videoDirectory;
    if (directory.endsWith(QLatin1Char('/')))
        directory.chop(1);
    QString attempt = attemptText;
    attempt.remove(QLatin1Char(' '));
    return directory + QLatin1Char('/') + skierName.trimmed() + QStringLiteral("jump") + attempt +
           QStringLiteral(".avi");
}

bool videoFileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

QString attemptText(int attempt)
{
    return Str(attempt);
}

FreeAttempt firstFreeAttempt(const QString &videoDirectory, const QString &skierName,
                             const QString &attemptText)
{
    FreeAttempt free{attemptText, 0};
    // Bounded so that a folder somebody filled with thousands of attempts cannot hang the screen.
    while (free.raised < 10000 &&
           videoFileExists(videoFileName(videoDirectory, skierName, free.attemptText))) {
        free.attemptText = skelvin::attemptText(wholeNumber(Val(free.attemptText) + 1));
        ++free.raised;
    }
    return free;
}

FreeName firstFreeName(const QString &videoDirectory, const QString &skierName,
                       const QString &attemptText)
{
    FreeName free{skierName, attemptText, false};
    while (videoFileExists(videoFileName(videoDirectory, free.skierName, free.attemptText))) {
        free.skierName = free.skierName.trimmed() + QLatin1Char('X');
        free.attemptText = QStringLiteral("1");
        free.changed = true;
    }
    return free;
}

} // namespace skelvin
