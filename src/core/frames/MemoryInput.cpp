#include "core/frames/MemoryInput.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/mem.h>
}

#include <algorithm>
#include <cstring>

namespace skelvin {

namespace {
constexpr int kBufferBytes = 64 * 1024;
}

MemoryInput::MemoryInput(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
    auto *buffer = static_cast<unsigned char *>(av_malloc(kBufferBytes));
    if (!buffer)
        return;
    m_context = avio_alloc_context(buffer, kBufferBytes, 0, this, &MemoryInput::readPacket,
                                   nullptr, &MemoryInput::seek);
    if (!m_context)
        av_free(buffer);
}

MemoryInput::~MemoryInput()
{
    if (m_context) {
        // FFmpeg may have replaced the buffer it was given; free the one it holds now.
        av_freep(&m_context->buffer);
        avio_context_free(&m_context);
    }
}

int MemoryInput::readPacket(void *opaque, uint8_t *buffer, int size)
{
    auto *self = static_cast<MemoryInput *>(opaque);
    const qint64 left = self->m_bytes.size() - self->m_position;
    if (left <= 0)
        return AVERROR_EOF;
    const int count = int(std::min<qint64>(left, size));
    std::memcpy(buffer, self->m_bytes.constData() + self->m_position, size_t(count));
    self->m_position += count;
    return count;
}

int64_t MemoryInput::seek(void *opaque, int64_t offset, int whence)
{
    auto *self = static_cast<MemoryInput *>(opaque);
    const qint64 size = self->m_bytes.size();
    if (whence & AVSEEK_SIZE)
        return size;
    qint64 target = 0;
    switch (whence & ~AVSEEK_FORCE) {
    case SEEK_SET: target = offset; break;
    case SEEK_CUR: target = self->m_position + offset; break;
    case SEEK_END: target = size + offset; break;
    default: return AVERROR(EINVAL);
    }
    if (target < 0 || target > size)
        return AVERROR(EINVAL);
    self->m_position = target;
    return target;
}

} // namespace skelvin
