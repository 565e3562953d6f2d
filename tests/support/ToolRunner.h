#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace skelvin::test {

// One run of skelvin-tool: its exit code and what it printed.
struct ToolRun
{
    int exitCode = -1;
    QString out;
    QString err;
};

inline ToolRun runTool(const QStringList &args, const QString &workingDirectory = QString())
{
    QProcess process;
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(QStringLiteral(SKELVIN_TOOL_PATH), args);
    process.waitForFinished(60000);
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The value printed as "key=value", or "<missing>".
inline QString toolValue(const QString &out, const QString &key)
{
    for (const QString &line : out.split(QLatin1Char('\n'))) {
        if (line.startsWith(key + QLatin1Char('=')))
            return line.mid(key.size() + 1);
    }
    return QStringLiteral("<missing>");
}

} // namespace skelvin::test
