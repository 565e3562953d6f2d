#pragma once

#include <QObject>
#include <QString>

#include <functional>

namespace skelvin {

class DebugLog;

// FFmpeg's own messages (a damaged picture, a file that breaks a rule) never go to the
// terminal. Once installed, every message FFmpeg writes, from any thread, comes here; while a
// route is open, its warnings and errors go to the debug log as lines "FFmpeg [decoder]:
// message", else they are dropped. The lines are written on the thread the route lives on
// (the interface thread, which owns the debug log), never from a decoding thread.
//
// A damaged video can give a message for every picture, so a repeated message is written
// once with the count of its repeats, and a route writes at most kMaxLines lines.
class FfmpegLog
{
public:
    static constexpr int kMaxLines = 500;

    // Takes FFmpeg's messages from now on (the first call; later calls do nothing).
    static void install();

    // Routes the messages to the debug log while this object lives; the newest route wins.
    explicit FfmpegLog(DebugLog &log);
    // Routes them to any receiver, called on the thread this object lives on.
    explicit FfmpegLog(std::function<void(const QString &line)> receiver);
    ~FfmpegLog();
    FfmpegLog(const FfmpegLog &) = delete;
    FfmpegLog &operator=(const FfmpegLog &) = delete;

    // Hands over one finished message (level as FFmpeg's AV_LOG_* levels); any thread.
    static void message(int level, const QString &source, const QString &text);

private:
    void post(const QString &line);

    QObject m_context; // lives on the receiving thread; queued lines die with it
    std::function<void(const QString &line)> m_receiver;
    QString m_lastText;
    int m_repeats = 0;
    int m_lines = 0;
};

} // namespace skelvin
