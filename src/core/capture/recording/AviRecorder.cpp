#include "core/capture/recording/AviRecorder.h"

#include "core/capture/recording/RecorderHandles.h"
#include "core/common/WorkerThread.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <future>

extern "C" {
#include <libavutil/pixdesc.h>
}

namespace skelvin {

namespace {

using Clock = std::chrono::steady_clock;

AVRational rateOf(double framesPerSecond)
{
    return av_d2q(framesPerSecond, 1001000);
}

// Before the compressor opens, so the threads FFmpeg starts for it inherit the nice value.
void becomeEncoderThread()
{
    becomeWorkerThread("encoder", kEncoderNice);
}

} // namespace

AviRecorder::AviRecorder(const RecordingPlan &plan)
    : m_plan(plan), m_queue(std::size_t(std::max<qint64>(1, plan.queueBytes)))
{
}

AviRecorder::~AviRecorder()
{
    stop();
}

Result<std::unique_ptr<AviRecorder>>
AviRecorder::start(const RecordingPlan &plan, EndedHandler ended, QueueFullHandler queueFull)
{
    using R = Result<std::unique_ptr<AviRecorder>>;
    if (!(plan.framesPerSecond > 0) || plan.format.size.isEmpty())
        return R::failure(QStringLiteral("No frame rate or picture size to record with"));
    std::unique_ptr<AviRecorder> recorder(new AviRecorder(plan));
    recorder->m_endedHandler = std::move(ended);
    recorder->m_queueFullHandler = std::move(queueFull);
    std::promise<Failure> opened;
    std::future<Failure> result = opened.get_future();
    // The thread owns the promise, so it outlives the answer it gives.
    recorder->m_thread = std::thread([r = recorder.get(), opened = std::move(opened)]() mutable {
        becomeEncoderThread();
        const Failure failed = r->open();
        opened.set_value(failed);
        if (!failed)
            r->encodeLoop();
    });
    if (const Failure failed = result.get()) {
        recorder->m_thread.join();
        recorder->m_stopped = true;
        return R::failure(*failed);
    }
    return recorder;
}

Failure AviRecorder::open()
{
    const AVRational rate = rateOf(m_plan.framesPerSecond);
    AviStreams streams;
    streams.frameRate = rate;
    streams.soundSampleRate = m_plan.soundSampleRate;
    streams.soundChannels = m_plan.soundChannels;
    streams.soundBitsPerSample = m_plan.soundBitsPerSample;

    ffmpeg::CodecParameters copied(avcodec_parameters_alloc());
    if (m_plan.copyPackets) {
        const AVCodec *codec =
            avcodec_find_decoder_by_name(m_plan.format.pixelFormat.toLatin1().constData());
        if (!copied || !codec)
            return QStringLiteral("Frames in %1 cannot be written as they come")
                .arg(m_plan.format.pixelFormat);
        copied->codec_type = AVMEDIA_TYPE_VIDEO;
        copied->codec_id = codec->id;
        copied->width = m_plan.format.size.width();
        copied->height = m_plan.format.size.height();
        streams.video = copied.get();
    } else {
        m_encoder = makeVideoEncoder(m_plan.compressor);
        if (!m_encoder)
            return QStringLiteral("There is no video compressor %1").arg(m_plan.compressor);
        const AVPixelFormat source =
            av_get_pix_fmt(m_plan.format.pixelFormat.toLatin1().constData());
        if (const Failure failed =
                m_encoder->open(m_plan.format.size, rate, source, m_plan.compression))
            return failed;
        if (!copied || avcodec_parameters_from_context(copied.get(), &m_encoder->context()) < 0)
            return QStringLiteral("The compressor's stream cannot be described");
        streams.video = copied.get();
    }
    Result<std::unique_ptr<AviWriter>> writer =
        AviWriter::create(m_plan.path, streams, m_plan.byteLimit);
    if (!writer)
        return writer.error();
    m_writer = std::move(writer.value());
    return std::nullopt;
}

void AviRecorder::addFrame(CapturedFrame &frame)
{
    if (m_ended)
        return;
    if (!m_haveFirst) {
        m_haveFirst = true;
        m_firstUs = frame.timestampUs;
    }
    const int64_t sinceFirstUs = frame.timestampUs - m_firstUs;
    const int64_t slot = std::llround(double(sinceFirstUs) * m_plan.framesPerSecond / 1e6);
    const int64_t last = m_lastSlot.load();
    if (m_plan.frameLimit > 0 && slot >= m_plan.frameLimit) {
        // Slots the device left out before the limit are dropped frames too.
        m_dropped += m_plan.frameLimit - 1 - last;
        m_lastSlot = m_plan.frameLimit - 1;
        m_timeMs = std::llround(double(m_plan.frameLimit) * 1000.0 / m_plan.framesPerSecond);
        endBySelf();
        return;
    }
    if (slot <= last)
        return; // a second frame within one frame time: the device runs faster than the rate
    // The watcher gets its own reference, as the queue takes the frame's.
    CapturedFrame watched = m_frameWatcher ? sharedFrame(frame) : CapturedFrame{};
    RecorderItem item;
    item.slot = slot;
    item.frame.picture = std::move(frame.picture);
    item.frame.packet = std::move(frame.packet);
    item.frame.packetCodec = frame.packetCodec;
    item.frame.timestampUs = frame.timestampUs;
    int64_t dropped = slot - last - 1;
    if (!m_queue.tryPush(item)) {
        // The encoder is so far behind that the queue is at its bound: this frame is left
        // out, its time kept, and the operator told.
        ++dropped;
        if (m_leftOutForQueue++ == 0 && m_queueFullHandler)
            m_queueFullHandler();
    } else if (m_frameWatcher) {
        m_frameWatcher(slot, watched);
    }
    m_dropped += dropped;
    m_lastSlot = slot;
    m_timeMs = std::llround(double(sinceFirstUs) / 1000.0 + 1000.0 / m_plan.framesPerSecond);
}

void AviRecorder::addSound(CapturedSound &sound)
{
    if (m_ended || !m_haveFirst || m_plan.soundSampleRate <= 0)
        return;
    RecorderItem item;
    item.pcm = std::move(sound.pcm);
    m_queue.tryPush(item);
}

void AviRecorder::endBySelf()
{
    if (!m_ended.exchange(true) && m_endedHandler)
        m_endedHandler();
}

Failure AviRecorder::writeFrame(RecorderItem &item)
{
    if (item.slot < 0)
        return m_writer->writeSound(item.pcm);
    CapturedFrame &frame = item.frame;
    if (m_plan.copyPackets && frame.packet)
        return m_writer->writeVideo(*frame.packet, item.slot);

    const auto started = Clock::now();
    const AVFrame *picture = frame.picture.get();
    if (!picture && frame.packet) {
        Result<const AVFrame *> decoded = m_decoder.decode(*frame.packet, frame.packetCodec);
        if (!decoded)
            return std::nullopt; // a damaged frame from the camera: its slot stays empty
        picture = decoded.value();
    }
    if (!picture)
        return std::nullopt;
    std::vector<ffmpeg::Packet> packets;
    Failure failed = m_encoder->encode(*picture, item.slot, packets);
    m_encodeUs +=
        std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - started).count();
    ++m_encoded;
    for (ffmpeg::Packet &packet : packets) {
        if (!failed)
            failed = m_writer->writeVideo(*packet, packet->pts);
    }
    return failed;
}

void AviRecorder::encodeLoop()
{
    Failure failed;
    auto lastHeaderUpdate = Clock::now();
    RecorderItem item;
    while (m_queue.pop(item)) {
        if (failed)
            continue; // the file is done for; let the queue drain
        failed = writeFrame(item);
        item = RecorderItem();
        m_slotsWritten = m_writer->slotsWritten();
        m_samples = m_writer->samplesWritten();
        if (Clock::now() - lastHeaderUpdate > std::chrono::seconds(1)) {
            lastHeaderUpdate = Clock::now();
            m_writer->keepHeaderCurrent();
            if (!failed)
                failed = m_writer->error();
        }
        if (failed)
            endBySelf();
    }
    if (!failed && m_encoder) {
        std::vector<ffmpeg::Packet> packets;
        failed = m_encoder->flush(packets);
        for (ffmpeg::Packet &packet : packets) {
            if (!failed)
                failed = m_writer->writeVideo(*packet, packet->pts);
        }
    }
    // Frames dropped at the very end still keep their times.
    if (!failed)
        failed = m_writer->writeEmptyUpTo(m_lastSlot.load());
    const Failure finished = m_writer->finish();
    // From here on the statistics are the file's own.
    m_lastSlot = m_writer->slotsWritten() - 1;
    m_dropped = m_writer->emptySlotsWritten();
    m_slotsWritten = m_writer->slotsWritten();
    m_samples = m_writer->samplesWritten();
    m_result = failed ? failed : finished;
}

Failure AviRecorder::stop()
{
    std::lock_guard lock(m_stopMutex);
    if (m_stopped)
        return m_result;
    m_stopped = true;
    m_ended = true;
    m_queue.close();
    if (m_thread.joinable())
        m_thread.join();
    return m_result;
}

double AviRecorder::encodeMicrosecondsPerFrame() const
{
    const int64_t frames = m_encoded.load();
    return frames > 0 ? double(m_encodeUs.load()) / double(frames) : 0.0;
}

} // namespace skelvin
