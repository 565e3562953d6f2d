#pragma once

#include "core/common/Prompter.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace skelvin {

// What one log viewer lists: the lines of a session log that name a file of one type (a kept
// video, "avi", or a saved picture, "bmp"), the log they come from, and the file the operator
// picked from them. The screens show it; the rules live here.
class SessionLogListing
{
public:
    static inline const QString kVideoType = QStringLiteral("avi");
    static inline const QString kPictureType = QStringLiteral("bmp");

    explicit SessionLogListing(QString type);

    // Whether a line (or a path) names a file of the type: its last three characters are the
    // type, exactly (a line ending in "AVI" is not a kept video's line). The keeper logs only a
    // file this lists, so every line it writes can be viewed.
    static bool names(const QString &line, const QString &type);
    // The path a line names: the rest of the line after its first "File:" and one blank, taken
    // whole (paths hold blanks); empty when the line has no "File:".
    static QString filePath(const QString &line);
    // The index of the longest line by characters, the first of equally long ones; -1 for none.
    static qsizetype longestLine(const QStringList &lines);
    // The dialog that picks another log: opened in the video folder, showing only session logs.
    static FileDialogRequest logDialog(const QString &videoDirectory);

    // At opening: the day's session log. When it cannot be read the list is empty and the log
    // path keeps what it held.
    void openAtStart(const QString &sessionLogPath);
    // After the log dialog: the chosen log is shown (also when it cannot be read: its path
    // stays, with an empty list). A cancelled dialog reads the log on show again, so the
    // operator keeps what he had.
    void choose(const std::optional<QString> &chosenLog);
    // A click on a line: the file that line names becomes the one to view (none without "File:").
    void select(qsizetype row);

    const QString &type() const { return m_type; }
    const QString &logPath() const { return m_logPath; }
    const QStringList &lines() const { return m_lines; }
    const QString &chosenFile() const { return m_chosenFile; }
    // The line of the file chosen, empty when none.
    const QString &chosenLine() const { return m_chosenLine; }

private:
    // Reads the lines of the type from the log; false (and no lines) when it cannot be read.
    bool fill(const QString &path);

    QString m_type;
    QString m_logPath;
    QStringList m_lines;
    QString m_chosenFile;
    QString m_chosenLine;
};

} // namespace skelvin
