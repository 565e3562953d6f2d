#include "core/logs/SessionLog.h"

#include "core/common/Clock.h"
#include "core/common/NumberText.h"
#include "core/common/Paths.h"
#include "core/common/PrintLine.h"
#include "core/common/TextFile.h"

namespace skelvin {

namespace {

PrintLine stamped(const QString &dateText, const QString &timeText)
{
    PrintLine line;
    line.item(dateText).zone().item(timeText).zone();
    return line;
}

} // namespace

QString SessionLogName(const QString &dateText)
{
    return QStringLiteral("JumpMeasurementLog") + dayStamp(dateText) + QStringLiteral(".txt");
}

QString sessionLogPath(const QString &videoDirectory, const QString &dateText)
{
    const QString dir = withoutTrailingSeparator(videoDirectory);
    if (dir.isEmpty())
        return QString();
    return dir + QLatin1Char('/') + SessionLogName(dateText);
}

QString SessionStartLine(const QString &dateText, const QString &timeText)
{
    return stamped(dateText, timeText).item(QStringLiteral("Skelvin Measurement Session started  ")).text();
}

QString NoteLogLine(const QString &dateText, const QString &timeText, const QString &note)
{
    return stamped(dateText, timeText).item(note).text();
}

QString VideoLogLine(const QString &dateText, const QString &timeText, const QString &skier,
                     const QString &jump, int contactFrame, const QString &videoPath)
{
    return stamped(dateText, timeText)
        .item(QStringLiteral("Skier: ") + skier).zone()
        .item(QStringLiteral("Jump: ") + jump).zone()
        .item(QStringLiteral("Contact Frame: ") + Str(contactFrame)).zone()
        .item(QStringLiteral("File: ") + videoPath)
        .text();
}

QString PictureLogLine(const QString &dateText, const QString &timeText, const QString &skier,
                       double jump, const QString &distanceText, const QString &picturePath)
{
    return stamped(dateText, timeText)
        .item(QStringLiteral("Skier: ") + skier).zone()
        .item(QStringLiteral("Jump: ") + Str(jump)).zone()
        .item(QStringLiteral("Distance: ") + distanceText).zone()
        .item(QStringLiteral("File: ") + picturePath)
        .text();
}

std::optional<VideoNameParts> videoNameParts(const QString &videoPath)
{
    // The attempt number has one to three digits, so "jump" starts at most seven characters
    // before ".avi".
    const qsizetype avi = videoPath.indexOf(QStringLiteral(".avi"), 0, Qt::CaseInsensitive);
    if (avi < 0)
        return std::nullopt;
    const qsizetype from = std::max<qsizetype>(0, avi - 7);
    const qsizetype jump = videoPath.indexOf(QStringLiteral("jump"), from);
    if (jump < 0 || jump > avi - 4)
        return std::nullopt;
    const qsizetype slash = std::max(videoPath.lastIndexOf(QLatin1Char('/')),
                                     videoPath.lastIndexOf(QLatin1Char('\\')));
    const qsizetype start = slash + 1;
    if (start > jump)
        return std::nullopt;
    return VideoNameParts{videoPath.mid(start, jump - start),
                          videoPath.mid(jump + 4, avi - jump - 4)};
}

std::optional<VideoNameParts> loggedJumpOf(const QString &logLine)
{
    const QString skierField = QStringLiteral("Skier: ");
    const QString jumpField = QStringLiteral("Jump: ");
    const qsizetype skier = logLine.indexOf(skierField);
    if (skier < 0)
        return std::nullopt;
    const qsizetype from = skier + skierField.size();
    // The last "Jump: " before the file field, so a skier's name may hold the word itself.
    const qsizetype file = logLine.indexOf(QStringLiteral("File:"), from);
    const qsizetype jump = logLine.lastIndexOf(jumpField, file < 0 ? -1 : file);
    if (jump < from)
        return std::nullopt;
    const qsizetype jumpFrom = jump + jumpField.size();
    // The attempt ends where its print zone's padding does.
    qsizetype jumpTo = jumpFrom;
    while (jumpTo < logLine.size() && logLine[jumpTo] == QLatin1Char(' '))
        ++jumpTo;
    while (jumpTo < logLine.size() && logLine[jumpTo] != QLatin1Char(' '))
        ++jumpTo;
    return VideoNameParts{logLine.mid(from, jump - from).trimmed(),
                          logLine.mid(jumpFrom, jumpTo - jumpFrom).trimmed()};
}

SessionStart openSessionLog(const QString &videoDirectory, const Clock &clock)
{
    const QString date = clock.dateText();
    const QString path = sessionLogPath(videoDirectory, date);
    if (path.isEmpty())
        return {};
    if (Failure f = appendTextLines(path, {SessionStartLine(date, clock.timeText())}))
        return {QString(), f, path};
    return {SessionLogName(date), std::nullopt, path};
}

} // namespace skelvin
