#pragma once

#include <QString>

#include <cstdint>

namespace skelvin {

// Capability bits of AviFileInfo::caps.
inline constexpr std::uint32_t kAviCapsCanRead = 0x01;
inline constexpr std::uint32_t kAviCapsCanWrite = 0x02;
inline constexpr std::uint32_t kAviCapsAllKeyFrames = 0x10;
inline constexpr std::uint32_t kAviCapsNoCompression = 0x20;

// Flag bits of AviFileInfo::flags, as the file's main header declares them.
inline constexpr std::uint32_t kAviFlagHasIndex = 0x10;
inline constexpr std::uint32_t kAviFlagMustUseIndex = 0x20;
inline constexpr std::uint32_t kAviFlagIsInterleaved = 0x100;
inline constexpr std::uint32_t kAviFlagWasCaptureFile = 0x10000;
inline constexpr std::uint32_t kAviFlagCopyrighted = 0x20000;

// The facts of an AVI file shown to the operator: the main header, the first video stream's
// header and format, and what its index says.
struct AviFileInfo
{
    std::uint32_t maxBytesPerSec = 0;
    std::uint32_t flags = 0;
    std::uint32_t caps = 0;
    std::uint32_t streams = 0;
    std::uint32_t suggestedBufferSize = 0;
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    std::uint32_t scale = 0; // of the first video stream: rate / scale frames per second
    std::uint32_t rate = 0;
    std::uint32_t length = 0; // frames of the first video stream
    std::uint32_t editCount = 0;
    QString fileType; // "AVI File"

    bool hasVideoStream = false;
    bool hasIndex = false; // an idx1 or OpenDML index was found and read
};

} // namespace skelvin
