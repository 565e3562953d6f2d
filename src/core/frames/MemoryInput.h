#pragma once

#include <QByteArray>

extern "C" {
#include <libavformat/avio.h>
}

namespace skelvin {

// A video file held in memory, read by FFmpeg through its own input context: reads, seeks and
// the size question are answered from the bytes. Used to open a video that is not on disk (a
// file just received, or bytes under test) exactly as a file would open.
class MemoryInput
{
public:
    explicit MemoryInput(QByteArray bytes);
    ~MemoryInput();
    MemoryInput(const MemoryInput &) = delete;
    MemoryInput &operator=(const MemoryInput &) = delete;

    // The input context to put into AVFormatContext::pb; null when memory ran out. Owned here:
    // close the format context that uses it first.
    AVIOContext *context() const { return m_context; }

private:
    static int readPacket(void *opaque, uint8_t *buffer, int size);
    static int64_t seek(void *opaque, int64_t offset, int whence);

    QByteArray m_bytes;
    qint64 m_position = 0;
    AVIOContext *m_context = nullptr;
};

} // namespace skelvin
