#include "core/frames/FfmpegLog.h"

#include "core/logs/DebugLog.h"

#include <QMetaObject>

extern "C" {
#include <libavutil/log.h>
}

#include <cstdarg>
#include <cstdio>
#include <mutex>

namespace skelvin {

namespace {

std::mutex g_routeMutex;
FfmpegLog *g_route = nullptr; // under g_routeMutex

// FFmpeg writes one line in several calls at times; each thread gathers its own.
struct PartLine
{
    QString source;
    QByteArray text;
    int level = AV_LOG_QUIET;
};
thread_local PartLine t_partLine;

QString sourceName(void *object)
{
    if (!object)
        return {};
    const AVClass *avClass = *static_cast<AVClass **>(object);
    if (!avClass || !avClass->item_name)
        return {};
    return QString::fromUtf8(avClass->item_name(object));
}

void takeMessage(void *object, int level, const char *format, va_list arguments)
{
    // FFmpeg's debug and trace levels carry nothing an operator's log wants, and formatting
    // them would cost every decode.
    if (level > AV_LOG_WARNING || level > av_log_get_level())
        return;
    char buffer[1024];
    va_list copy;
    va_copy(copy, arguments);
    const int length = std::vsnprintf(buffer, sizeof buffer, format, copy);
    va_end(copy);
    if (length < 0)
        return;
    PartLine &part = t_partLine;
    if (part.text.isEmpty()) {
        part.source = sourceName(object);
        part.level = level;
    }
    part.text.append(buffer, std::min<int>(length, int(sizeof buffer) - 1));
    if (!part.text.endsWith('\n'))
        return;
    const QString text = QString::fromUtf8(part.text).trimmed();
    part.text.clear();
    if (!text.isEmpty())
        FfmpegLog::message(part.level, part.source, text);
}

} // namespace

void FfmpegLog::install()
{
    static std::once_flag once;
    std::call_once(once, [] { av_log_set_callback(takeMessage); });
}

FfmpegLog::FfmpegLog(DebugLog &log)
    : FfmpegLog([&log](const QString &line) { log.DebugLogWrite(line); })
{
}

FfmpegLog::FfmpegLog(std::function<void(const QString &line)> receiver)
    : m_receiver(std::move(receiver))
{
    install();
    std::lock_guard lock(g_routeMutex);
    g_route = this;
}

FfmpegLog::~FfmpegLog()
{
    std::lock_guard lock(g_routeMutex);
    if (g_route == this)
        g_route = nullptr;
}

void FfmpegLog::message(int level, const QString &source, const QString &text)
{
    if (level > AV_LOG_WARNING)
        return;
    std::lock_guard lock(g_routeMutex);
    if (!g_route)
        return;
    FfmpegLog &route = *g_route;
    if (text == route.m_lastText) {
        ++route.m_repeats;
        return;
    }
    if (route.m_repeats > 0)
        route.post(
            QStringLiteral("FFmpeg: the message before came %1 more times").arg(route.m_repeats));
    route.m_lastText = text;
    route.m_repeats = 0;
    route.post(source.isEmpty() ? QStringLiteral("FFmpeg: %1").arg(text)
                                : QStringLiteral("FFmpeg [%1]: %2").arg(source, text));
}

void FfmpegLog::post(const QString &line)
{
    if (m_lines > kMaxLines)
        return;
    ++m_lines;
    const QString written =
        m_lines > kMaxLines ? QStringLiteral("FFmpeg: further messages left out") : line;
    // Queued even on the receiving thread: FFmpeg may be in the middle of a call there, and
    // the debug log may show a message box.
    QMetaObject::invokeMethod(
        &m_context, [receiver = m_receiver, written] { receiver(written); }, Qt::QueuedConnection);
}

} // namespace skelvin
