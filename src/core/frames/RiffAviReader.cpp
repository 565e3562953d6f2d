#include "core/frames/RiffAviReader.h"

#include <QtEndian>

#include <algorithm>
#include <array>
#include <vector>

namespace skelvin {

namespace {

constexpr std::uint32_t fourCc(const char (&text)[5])
{
    return std::uint32_t(std::uint8_t(text[0])) | std::uint32_t(std::uint8_t(text[1])) << 8 |
           std::uint32_t(std::uint8_t(text[2])) << 16 | std::uint32_t(std::uint8_t(text[3])) << 24;
}

constexpr std::uint32_t kRiff = fourCc("RIFF");
constexpr std::uint32_t kAvi = fourCc("AVI ");
constexpr std::uint32_t kList = fourCc("LIST");
constexpr std::uint32_t kHdrl = fourCc("hdrl");
constexpr std::uint32_t kStrl = fourCc("strl");
constexpr std::uint32_t kOdml = fourCc("odml");
constexpr std::uint32_t kAvih = fourCc("avih");
constexpr std::uint32_t kStrh = fourCc("strh");
constexpr std::uint32_t kStrf = fourCc("strf");
constexpr std::uint32_t kIndx = fourCc("indx");
constexpr std::uint32_t kDmlh = fourCc("dmlh");
constexpr std::uint32_t kIdx1 = fourCc("idx1");
constexpr std::uint32_t kVids = fourCc("vids");
constexpr std::uint32_t kMovi = fourCc("movi");
constexpr std::uint32_t kRec = fourCc("rec ");
constexpr std::uint32_t kAvix = fourCc("AVIX");
constexpr std::uint32_t kJunk = fourCc("JUNK");

// Index types of the OpenDML index chunks.
constexpr std::uint8_t kIndexOfIndexes = 0x00;
constexpr std::uint8_t kIndexOfChunks = 0x01;

constexpr std::uint32_t kIdx1KeyFrame = 0x10;
constexpr std::uint32_t kOdmlDeltaFrame = 0x80000000u;

// More streams than this is not a file the system reads; the rest are passed over.
constexpr int kMaxStreams = 64;

std::uint32_t u32(const char *p)
{
    return qFromLittleEndian<quint32>(p);
}
std::uint16_t u16(const char *p)
{
    return qFromLittleEndian<quint16>(p);
}
std::uint64_t u64(const char *p)
{
    return qFromLittleEndian<quint64>(p);
}

// The two-digit stream number at the start of a movie chunk id ("00dc", "01wb").
int chunkStreamNumber(std::uint32_t id)
{
    const int high = int(id & 0xff) - '0';
    const int low = int((id >> 8) & 0xff) - '0';
    if (high < 0 || high > 9 || low < 0 || low > 9)
        return -1;
    return high * 10 + low;
}

// The two letters after the stream number: "dc" and "db" are pictures, "ix" an index chunk.
bool isPictureChunk(std::uint32_t id)
{
    const std::uint32_t type = id >> 16;
    return type == (fourCc("00dc") >> 16) || type == (fourCc("00db") >> 16);
}
bool isIndexChunk(std::uint32_t id)
{
    return (id & 0xffff) == (fourCc("ix00") & 0xffff);
}

} // namespace

RiffAviReader::RiffAviReader(QIODevice &device) : m_device(device) {}

bool RiffAviReader::readAt(qint64 pos, void *buffer, qint64 count)
{
    if (pos < 0 || count < 0 || pos > m_fileSize || count > m_fileSize - pos)
        return false;
    if (!m_device.seek(pos))
        return false;
    return m_device.read(static_cast<char *>(buffer), count) == count;
}

qint64 RiffAviReader::available(qint64 pos, qint64 size) const
{
    // A size read from the file never counts for more than the file holds.
    return std::max<qint64>(0, std::min(size, m_fileSize - pos));
}

bool RiffAviReader::chunkAt(qint64 pos, qint64 end, Chunk *chunk)
{
    if (pos + 8 > end)
        return false;
    char header[8];
    if (!readAt(pos, header, 8))
        return false;
    chunk->id = u32(header);
    chunk->size = u32(header + 4);
    chunk->dataPos = pos + 8;
    return true;
}

std::uint32_t RiffAviReader::listType(const Chunk &chunk)
{
    char type[4];
    if (chunk.size < 4 || !readAt(chunk.dataPos, type, 4))
        return 0;
    return u32(type);
}

Result<AviFileInfo> RiffAviReader::read()
{
    m_fileSize = m_device.size();
    char header[12];
    if (!readAt(0, header, 12) || u32(header) != kRiff || u32(header + 8) != kAvi)
        return Result<AviFileInfo>::failure(QStringLiteral("the file is not a RIFF AVI file"));

    // A recording cut short keeps its first bytes; read what is there.
    const qint64 riffEnd = std::min<qint64>(8 + qint64(u32(header + 4)), m_fileSize);
    Chunk idx1;
    bool haveIdx1 = false;
    qint64 movieStart = -1;
    Chunk chunk;
    for (qint64 pos = 12; chunkAt(pos, riffEnd, &chunk); pos = chunk.end()) {
        const std::uint32_t type = chunk.id == kList ? listType(chunk) : 0;
        if (type == kMovi && movieStart < 0)
            movieStart = chunk.dataPos + 4;
        if (type == kHdrl) {
            const qint64 listEnd = std::min(chunk.dataPos + qint64(chunk.size), riffEnd);
            if (const Failure failed = readHeaderList(chunk.dataPos + 4, listEnd))
                return Result<AviFileInfo>::failure(*failed);
        } else if (chunk.id == kIdx1) {
            idx1 = chunk;
            haveIdx1 = true;
        }
    }
    if (!m_haveMainHeader)
        return Result<AviFileInfo>::failure(QStringLiteral("the file has no AVI main header"));

    if (!m_videoHasOdmlIndex && haveIdx1 && m_videoStream >= 0)
        readOldIndex(idx1);
    if (m_info.length == 0)
        m_info.length = m_odmlTotalFrames;
    // The index is written when a file is closed and lists every chunk. A recording cut off by
    // a crash has none, and its header counts the frames of its last update (or none): its
    // frames are then counted from the movie data, up to the last whole chunk.
    const qint64 frames = m_indexEntries > 0 ? m_indexEntries
                          : movieStart >= 0  ? countMovieChunks(movieStart)
                                             : 0;
    if (frames > qint64(m_info.length))
        m_info.length = std::uint32_t(std::min<qint64>(frames, UINT32_MAX));

    m_info.fileType = QStringLiteral("AVI File");
    m_info.hasVideoStream = m_videoStream >= 0;
    m_info.hasIndex = m_indexEntries > 0;
    m_info.caps = kAviCapsCanRead;
    if (m_indexEntries > 0 && m_allKeyFrames)
        m_info.caps |= kAviCapsAllKeyFrames;
    if (m_info.hasVideoStream && (m_videoCompression == 0 || m_videoCompression == 3))
        m_info.caps |= kAviCapsNoCompression; // BI_RGB or BI_BITFIELDS
    return m_info;
}

Failure RiffAviReader::readHeaderList(qint64 pos, qint64 end)
{
    int streamNumber = 0;
    Chunk chunk;
    for (; chunkAt(pos, end, &chunk); pos = chunk.end()) {
        if (chunk.id == kAvih) {
            std::array<char, 40> h{};
            if (chunk.size < h.size() || !readAt(chunk.dataPos, h.data(), h.size()))
                return QStringLiteral("the AVI main header is cut short");
            m_info.maxBytesPerSec = u32(&h[4]);
            m_info.flags =
                u32(&h[12]) & (kAviFlagHasIndex | kAviFlagMustUseIndex | kAviFlagIsInterleaved |
                               kAviFlagWasCaptureFile | kAviFlagCopyrighted);
            m_info.length = u32(&h[16]);
            m_info.streams = u32(&h[24]);
            m_info.suggestedBufferSize = u32(&h[28]);
            m_info.width = u32(&h[32]);
            m_info.height = u32(&h[36]);
            m_haveMainHeader = true;
        } else if (chunk.id == kList) {
            const std::uint32_t type = listType(chunk);
            const qint64 listEnd = std::min(chunk.dataPos + qint64(chunk.size), end);
            if (type == kStrl && streamNumber < kMaxStreams)
                readStreamList(chunk.dataPos + 4, listEnd, streamNumber++);
            else if (type == kOdml) {
                Chunk dmlh;
                char total[4];
                if (chunkAt(chunk.dataPos + 4, listEnd, &dmlh) && dmlh.id == kDmlh &&
                    dmlh.size >= 4 && readAt(dmlh.dataPos, total, 4))
                    m_odmlTotalFrames = u32(total);
            }
        }
    }
    return std::nullopt;
}

void RiffAviReader::readStreamList(qint64 pos, qint64 end, int streamNumber)
{
    bool isFirstVideo = false;
    Chunk chunk;
    for (; chunkAt(pos, end, &chunk); pos = chunk.end()) {
        if (chunk.id == kStrh) {
            std::array<char, 36> h{};
            if (chunk.size < h.size() || !readAt(chunk.dataPos, h.data(), h.size()))
                return;
            if (u32(&h[0]) != kVids || m_videoStream >= 0)
                return; // only the first video stream is of interest
            isFirstVideo = true;
            m_videoStream = streamNumber;
            m_info.scale = u32(&h[20]);
            m_info.rate = u32(&h[24]);
            if (const std::uint32_t length = u32(&h[32]))
                m_info.length = length; // counts the AVIX parts too, unlike the main header
        } else if (chunk.id == kStrf && isFirstVideo) {
            std::array<char, 20> f{};
            if (chunk.size < f.size() || !readAt(chunk.dataPos, f.data(), f.size()))
                continue;
            if (m_info.width == 0 || m_info.height == 0) {
                m_info.width = u32(&f[4]);
                const auto height = qint32(u32(&f[8]));
                m_info.height = std::uint32_t(height < 0 ? -qint64(height) : height);
            }
            m_videoCompression = u32(&f[16]);
        } else if (chunk.id == kIndx && isFirstVideo) {
            readSuperIndex(chunk);
        }
    }
}

void RiffAviReader::readSuperIndex(const Chunk &chunk)
{
    // wLongsPerEntry, bIndexSubType, bIndexType, nEntriesInUse, dwChunkId, 3 reserved words
    std::array<char, 24> h{};
    if (chunk.size < h.size() || !readAt(chunk.dataPos, h.data(), h.size()))
        return;
    const std::uint8_t type = std::uint8_t(h[3]);
    if (type == kIndexOfChunks) {
        m_videoHasOdmlIndex = true;
        readStandardIndex(chunk.dataPos, chunk.size);
        return;
    }
    if (type != kIndexOfIndexes)
        return;
    m_videoHasOdmlIndex = true;
    const qint64 room = (available(chunk.dataPos, chunk.size) - qint64(h.size())) / 16;
    const qint64 count = std::min<qint64>(u32(&h[4]), room);
    std::vector<char> entries(std::size_t(std::max<qint64>(count, 0)) * 16);
    if (entries.empty() || !readAt(chunk.dataPos + 24, entries.data(), qint64(entries.size())))
        return;
    qint64 nextFree = 0;
    for (qint64 i = 0; i < count; ++i) {
        const char *e = entries.data() + i * 16;
        const std::uint64_t offset = u64(e);
        // Index chunks follow each other through the file without overlapping; anything else
        // is damage, and stopping there keeps the work bounded by the file's size.
        if (offset > std::uint64_t(m_fileSize) || qint64(offset) < nextFree)
            break;
        Chunk ix;
        if (!chunkAt(qint64(offset), m_fileSize, &ix))
            break;
        readStandardIndex(ix.dataPos, ix.size);
        nextFree = ix.dataPos + available(ix.dataPos, ix.size);
    }
}

void RiffAviReader::readStandardIndex(qint64 pos, qint64 size)
{
    // wLongsPerEntry, bIndexSubType, bIndexType, nEntriesInUse, dwChunkId, qwBaseOffset,
    // dwReserved, then entries of dwOffset, dwSize (bit 31 set for a frame that is not a key).
    std::array<char, 24> h{};
    if (size < qint64(h.size()) || !readAt(pos, h.data(), h.size()))
        return;
    const int longsPerEntry = std::max(2, int(u16(&h[0])));
    const qint64 entryBytes = 4 * qint64(longsPerEntry);
    const qint64 room = (available(pos, size) - qint64(h.size())) / entryBytes;
    const qint64 count = std::min<qint64>(u32(&h[4]), room);
    if (count <= 0)
        return;
    std::vector<char> entries(std::size_t(count * entryBytes));
    if (!readAt(pos + 24, entries.data(), qint64(entries.size())))
        return;
    for (qint64 i = 0; i < count; ++i)
        countIndexEntry((u32(entries.data() + i * entryBytes + 4) & kOdmlDeltaFrame) == 0);
}

void RiffAviReader::readOldIndex(const Chunk &chunk)
{
    const qint64 count = available(chunk.dataPos, chunk.size) / 16;
    constexpr qint64 kBlockEntries = 4096;
    std::vector<char> block(std::size_t(kBlockEntries * 16));
    for (qint64 first = 0; first < count; first += kBlockEntries) {
        const qint64 n = std::min(kBlockEntries, count - first);
        if (!readAt(chunk.dataPos + first * 16, block.data(), n * 16))
            return;
        for (qint64 i = 0; i < n; ++i) {
            const char *e = block.data() + i * 16;
            if (chunkStreamNumber(u32(e)) == m_videoStream)
                countIndexEntry((u32(e + 4) & kIdx1KeyFrame) != 0);
        }
    }
}

qint64 RiffAviReader::countMovieChunks(qint64 pos)
{
    if (m_videoStream < 0)
        return 0;
    // The sizes of the lists around the chunks are the header's last word on them, so they are
    // stepped into rather than trusted: the walk goes to the file's end (through the "AVIX"
    // parts of a large file) and stops at the first chunk that is not movie data or that the
    // file holds only in part.
    qint64 frames = 0;
    Chunk chunk;
    while (chunkAt(pos, m_fileSize, &chunk)) {
        const bool container = (chunk.id == kList || chunk.id == kRiff) && chunk.size >= 4;
        const std::uint32_t type = container ? listType(chunk) : 0;
        if (type == kMovi || type == kRec || (chunk.id == kRiff && type == kAvix)) {
            pos = chunk.dataPos + 4;
            continue;
        }
        if (chunk.dataPos + qint64(chunk.size) > m_fileSize)
            break; // cut in half
        if (chunkStreamNumber(chunk.id) == m_videoStream && isPictureChunk(chunk.id))
            ++frames;
        else if (chunkStreamNumber(chunk.id) < 0 && chunk.id != kJunk && chunk.id != kIdx1 &&
                 !isIndexChunk(chunk.id) && chunk.id != kList)
            break; // not movie data
        pos = chunk.end();
    }
    return frames;
}

void RiffAviReader::countIndexEntry(bool keyFrame)
{
    ++m_indexEntries;
    m_allKeyFrames = m_allKeyFrames && keyFrame;
}

} // namespace skelvin
