#pragma once

#include "core/common/Result.h"
#include "core/frames/AviFileInfo.h"

#include <QIODevice>

#include <cstdint>

namespace skelvin {

// Reads the facts of an AVI file from its RIFF structure: the main header ("avih"), the first
// video stream's header ("strh") and format ("strf"), the OpenDML extended header ("dmlh") and
// the index: the OpenDML index ("indx" and its "ix##" chunks, which also cover the "AVIX"
// parts of files over 1 GiB) when the stream has one, else "idx1".
//
// Every offset and size read from the file is checked against the file's length, so a damaged
// or truncated file gives an error text and never a crash, a huge allocation or a long loop.
// Where the file has no index (a recording cut off before it was closed), the chunk headers of
// the movie data are walked to count its frames; the pictures themselves are never read. Can
// Write is left to the caller (it depends on the user, not on the bytes).
class RiffAviReader
{
public:
    explicit RiffAviReader(QIODevice &device);

    Result<AviFileInfo> read();

private:
    struct Chunk
    {
        std::uint32_t id = 0;
        qint64 dataPos = 0; // first byte after the 8-byte chunk header
        std::uint32_t size = 0;
        qint64 end() const { return dataPos + size + (size & 1); }
    };

    bool readAt(qint64 pos, void *buffer, qint64 count);
    qint64 available(qint64 pos, qint64 size) const;
    bool chunkAt(qint64 pos, qint64 end, Chunk *chunk);
    std::uint32_t listType(const Chunk &chunk);

    Failure readHeaderList(qint64 pos, qint64 end);
    void readStreamList(qint64 pos, qint64 end, int streamNumber);
    void readSuperIndex(const Chunk &chunk);
    void readStandardIndex(qint64 pos, qint64 size);
    void readOldIndex(const Chunk &chunk);
    qint64 countMovieChunks(qint64 pos);
    void countIndexEntry(bool keyFrame);

    QIODevice &m_device;
    qint64 m_fileSize = 0;
    AviFileInfo m_info;
    bool m_haveMainHeader = false;
    int m_videoStream = -1; // stream number of the first video stream
    std::uint32_t m_videoCompression = 0;
    std::uint32_t m_odmlTotalFrames = 0;
    bool m_videoHasOdmlIndex = false;
    qint64 m_indexEntries = 0; // video index entries seen
    bool m_allKeyFrames = true;
};

} // namespace skelvin
