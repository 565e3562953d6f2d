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

// The most memory the frames waiting for the encoder may take: 1.5 GiB, a whole jump
// recording even of raw pictures (about 8 s of 1920 x 1080 RGB at 30 frames per second, 12 s
// of YUYV, many minutes of a camera's Motion JPEG) on a tournament PC with 4 GiB or more.
inline constexpr qint64 kRecordingQueueBytes = qint64(3) << 29;

// The encoder thread's nice value: above the capture threads' (which keep the normal 0), so
// that on a busy machine the frames are taken from the camera first and compressed after,
// but no further: on a machine kept busy by other programs at the normal priority a larger
// value starves the encoder (nice 4 got it a tenth of its share, and Stop waited seconds for
// the backlog), while the capture thread needs so little that it is served in time anyway.
inline constexpr int kEncoderNice = 1;

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
    int64_t frameLimit = 0;                   // slots to record; 0: until stopped
    qint64 byteLimit = -1;                    // a full disk at this size (tests); < 0: none
    qint64 queueBytes = kRecordingQueueBytes; // the most the frames waiting may take
};

// Records one AVI file. The capture threads hand frames and sound in (`addFrame`,
// `addSound`); each frame gets its slot from the device's time stamp, rebased to the first
// frame: slot = round((t - t0) * rate). A queue bounded by memory leads to the encoder
// thread, which compresses (or copies the camera's own Motion JPEG packets, neither decoded
// nor encoded) and writes. The encoder thread (and the threads FFmpeg's encoder starts from
// it) runs at nice kEncoderNice, so on a busy machine the camera is read first; when the
// encoder or the disk falls behind, the frames wait in the queue, and Stop waits until every
// one of them is written.
//
// Memory bound: the frames waiting take at most `RecordingPlan::queueBytes` (1.5 GiB unless a
// test says otherwise), plus the encoder's own pictures. Past the bound a frame is left out:
// its slot becomes an empty chunk, so every later frame keeps its time; it counts as dropped,
// and the first one calls the `QueueFullHandler`, so the operator is told. A slot the
// device's time stamps skipped is dropped and written the same way.
class AviRecorder
{
public:
    // Called once, from a recorder thread, when the recording ended by itself: the frame
    // limit was reached or the file could not be written. The owner then calls `stop`.
    using EndedHandler = std::function<void()>;
    // Called once, from a capture thread, when the first frame is left out because the queue
    // is at its bound.
    using QueueFullHandler = std::function<void()>;

    ~AviRecorder();

    // Starts the encoder thread, which creates the file and opens the compressor; returns
    // when both are done. Fails when the file cannot be created or the compressor does not
    // open.
    static Result<std::unique_ptr<AviRecorder>>
    start(const RecordingPlan &plan, EndedHandler ended = {}, QueueFullHandler queueFull = {});

    // Called on the capture thread with every frame the recording takes into its queue and
    // the slot it goes to; a slot never handed on is an empty chunk in the file. Set before
    // the first frame comes.
    using FrameWatcher = std::function<void(int64_t slot, const CapturedFrame &frame)>;
    void watchFrames(FrameWatcher watcher) { m_frameWatcher = std::move(watcher); }

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
    // Frames in the queue, waiting for the encoder.
    std::size_t framesWaiting() const { return m_queue.framesQueued(); }
    // Frames left out because the queue was at its bound.
    int framesLeftOutForQueue() const { return int(m_leftOutForQueue.load()); }
    // The most the queue held at once during the recording, and its bound.
    std::size_t queuePeakBytes() const { return m_queue.peakBytes(); }
    std::size_t queuePeakFrames() const { return m_queue.peakFrames(); }
    std::size_t queueBytesLimit() const { return m_queue.videoBytesLimit(); }
    // Whether the camera's packets go into the file as they came.
    bool copiesPackets() const { return m_plan.copyPackets; }
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
    QueueFullHandler m_queueFullHandler;
    FrameWatcher m_frameWatcher;
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
    std::atomic<int64_t> m_leftOutForQueue{0};
    std::atomic<int64_t> m_timeMs{0};
    std::atomic<bool> m_ended{false};

    // Kept by the encoder thread.
    std::atomic<int64_t> m_samples{0};
    std::atomic<int64_t> m_slotsWritten{0};
    std::atomic<int64_t> m_encodeUs{0};
    std::atomic<int64_t> m_encoded{0};
};

} // namespace skelvin
