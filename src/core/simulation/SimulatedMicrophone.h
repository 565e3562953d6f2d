#pragma once

#include "core/capture/devices/AudioSource.h"
#include "core/simulation/RealTimeGate.h"
#include "core/simulation/SimulatedScene.h"

#include <chrono>
#include <cstdint>
#include <optional>

namespace skelvin {

// The simulated microphone: soft lapping water, and the splash of the landing the scene's
// landing time after recordingStarted(). Delivers 20 ms blocks of interleaved PCM (8-bit
// unsigned or 16-bit signed little-endian, mono or stereo) in real time on a steady clock;
// each block is stamped with the moment of its first sample.
class SimulatedMicrophone : public AudioSource
{
public:
    static constexpr int kBlockMs = 20;

    explicit SimulatedMicrophone(const SimulatedScene &scene);

    QString name() const override;
    Failure start(int sampleRate, int channels, int bitsPerSample) override;
    void stop() override;
    ReadStatus read(CapturedSound &sound, QString &error) override;
    void interrupt() override;
    void recordingStarted() override;

private:
    // The sound of one sample (-1 .. 1) given the splash's start; the water's noise runs on
    // from the previous call.
    double nextSample(int64_t sampleIndex);

    using Clock = RealTimeGate::Clock;
    Clock::time_point sampleTime(int64_t sample) const;
    double noise();

    double m_landingSeconds;
    int m_sampleRate = 44100;
    int m_channels = 1;
    int m_bitsPerSample = 16;

    RealTimeGate m_gate; // its mutex also guards the members below
    Clock::time_point m_start;
    int64_t m_nextSample = 0;
    std::optional<int64_t> m_splashSample;
    std::optional<Clock::time_point> m_recordingStartedAt;

    uint32_t m_noiseState = 0x12345678u;
    double m_lapping = 0.0; // the water's noise, low-passed
    double m_spray = 0.0;   // the splash's noise, brighter
};

} // namespace skelvin
