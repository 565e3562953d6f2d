#pragma once

#include "core/capture/recording/AviWriter.h"
#include "core/capture/recording/FrameQueue.h"
#include "core/capture/recording/PacketDecoder.h"
#include "core/capture/recording/VideoEncoder.h"
#include "core/capture/shared/CaptureTypes.h"
#include "core/capture/shared/CapturedFrame.h"
#include "core/common/Result.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace skelvin {

// What one recording writes.
struct RecordingPlan
{
    QString path;
    double framesPerSecond = 30.0; // the file's rate: one slot per frame time
    int compressor = compressor::kMotionJpeg;
    CompressorSettings compression;
    VideoFormat format;       // what the camera delivers
    bool copyPackets = false; // write the camera's compressed frames as they come
    int soundSampleRate = 0;  // 0: no sound
    int soundChannels = 0;
    int soundBitsPerSample = 0;
    int64_t frameLimit = 0; // slots to record; 0: until stopped
    qint64 byteLimit = -1;  // a full disk at this size (tests); < 0: none
};

// Records one AVI file. The capture threads hand frames and sound in (`addFrame`,
// `addSound`); each frame gets its slot from the device's time stamp, rebased to the first
// frame: slot = round((t - t0) * rate). A bounded queue of about one second of frames leads to
// the encoder thread, which compresses (or copies the camera's own Motion JPEG packets) and
// writes. A frame that finds the queue full, or a slot the device's time stamps skipped,
// counts as dropped and becomes an empty chunk, so every later frame keeps its time.
//
// Memory bound: the queue holds at most max(2, round(rate)) frames as the camera delivered
// them (a 1920 x 1080 YUYV picture is 4 MiB, so about 120 MiB at 30 frames per second, far
// less for Motion JPEG packets), plus the encoder's own pictures.
class AviRecorder
{
public:
    // Called once, from a recorder thread, when the recording ended by itself: the frame
    // limit was reached or the file could not be written. The owner then calls `stop`.
    using EndedHandler = std::function<void()>;

    ~AviRecorder();

    // Creates the file and starts the encoder thread. Fails when the file cannot be created
    // or the compressor does not open.
    static Result<std::unique_ptr<AviRecorder>> start(const RecordingPlan &plan,
                                                      EndedHandler ended = {});

    // Capture threads.
    void addFrame(CapturedFrame &frame);
    void addSound(CapturedSound &sound);

    // Ends the recording: the frames queued are written, the index and header completed and
    // the file closed when this returns. Gives the reason when the file could not be written
    // whole. Calling it again gives the same answer.
    Failure stop();

    bool ended() const { return m_ended; }
    const RecordingPlan &plan() const { return m_plan; }
    int framesCaptured() const { return int(m_lastSlot.load() + 1); }
    int framesDropped() const { return int(m_dropped.load()); }
    int64_t samplesCaptured() const { return m_samples.load(); }
    int64_t captureTimeMs() const { return m_timeMs.load(); }
    // Frames written by the encoder thread so far.
    int64_t slotsWritten() const { return m_slotsWritten.load(); }
    std::size_t queueCapacity() const { return m_queue.videoCapacity(); }
    // The encoder's time per frame, microseconds, averaged over the recording.
    double encodeMicrosecondsPerFrame() const;

private:
    explicit AviRecorder(const RecordingPlan &plan);
    Failure open();
    void encodeLoop();
    Failure writeFrame(RecorderItem &item);
    void endBySelf();

    RecordingPlan m_plan;
    EndedHandler m_endedHandler;
    FrameQueue m_queue;
    std::unique_ptr<AviWriter> m_writer;
    std::unique_ptr<VideoEncoder> m_encoder;
    PacketDecoder m_decoder;
    std::thread m_thread;
    std::mutex m_stopMutex;
    bool m_stopped = false;
    Failure m_result;

    // Kept by the capture thread.
    bool m_haveFirst = false;
    int64_t m_firstUs = 0;
    std::atomic<int64_t> m_lastSlot{-1};
    std::atomic<int64_t> m_dropped{0};
    std::atomic<int64_t> m_timeMs{0};
    std::atomic<bool> m_ended{false};

    // Kept by the encoder thread.
    std::atomic<int64_t> m_samples{0};
    std::atomic<int64_t> m_slotsWritten{0};
    std::atomic<int64_t> m_encodeUs{0};
    std::atomic<int64_t> m_encoded{0};
};

} // namespace skelvin
