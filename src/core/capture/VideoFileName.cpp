#include "core/capture/VideoFileName.h"

#include "core/common/NumberText.h"

#include <QDir>
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

QString attemptNumberProblem(const QString &attemptText)
{
    const QString digits = attemptText.trimmed();
    bool whole = !digits.isEmpty() && digits.size() <= 5;
    for (const QChar c : digits)
        whole = whole && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    const int attempt = whole ? digits.toInt() : 0;
    if (attempt >= 1 && attempt <= 32767)
        return {};
    return QStringLiteral("The attempt number must be a whole number from 1 to 32767: change the "
                          "Attempt Number box.");
}

bool videoFileExists(const QString &path)
{
    const QFileInfo info(path);
    return info.exists() && info.isFile();
}

QString inVideoFolder(const QString &videoDirectory, const QString &fileText)
{
    const QString name = fileText.trimmed();
    if (QFileInfo(name).isAbsolute())
        return name;
    // The main screen asks for the video folder before anything is recorded; home stands in
    // should there be none, as the working directory could be anywhere.
    return QDir(videoDirectory.isEmpty() ? QDir::homePath() : videoDirectory).filePath(name);
}

QString freeTestCaptureFile(const QString &videoDirectory, const QString &fileText)
{
    const QString path = inVideoFolder(videoDirectory, fileText);
    const QFileInfo info(path);
    const QString stem = info.dir().filePath(info.completeBaseName());
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString free = path;
    for (int n = 2; QFileInfo::exists(free) && n < 100000; ++n)
        free = QStringLiteral("%1 (%2)%3").arg(stem).arg(n).arg(suffix);
    return free;
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
