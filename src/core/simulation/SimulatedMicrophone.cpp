#include "core/simulation/SimulatedMicrophone.h"

#include "core/simulation/SimulatedDevices.h"

#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace skelvin {

namespace {

constexpr double kWaterLevel = 0.04; // of full scale
constexpr double kSplashLevel = 0.7;
constexpr double kSplashDecaySeconds = 0.35;
constexpr double kSplashSeconds = 2.0;

} // namespace

SimulatedMicrophone::SimulatedMicrophone(const SimulatedScene &scene)
    : m_landingSeconds(scene.landingSeconds())
{
}

QString SimulatedMicrophone::name() const
{
    return kSimulatedMicrophoneName;
}

Failure SimulatedMicrophone::start(int sampleRate, int channels, int bitsPerSample)
{
    if (sampleRate < 8000 || sampleRate > 192000 || (channels != 1 && channels != 2) ||
        (bitsPerSample != 8 && bitsPerSample != 16)) {
        return QStringLiteral("The simulated microphone does not offer %1 samples per second, "
                              "%2 bit, %3 channels")
            .arg(sampleRate)
            .arg(bitsPerSample)
            .arg(channels);
    }
    std::lock_guard<std::mutex> lock(m_gate.mutex());
    m_sampleRate = sampleRate;
    m_channels = channels;
    m_bitsPerSample = bitsPerSample;
    m_start = Clock::now();
    m_nextSample = 0;
    m_splashSample.reset();
    m_recordingStartedAt.reset();
    m_gate.open();
    return std::nullopt;
}

void SimulatedMicrophone::stop()
{
    m_gate.stop();
}

void SimulatedMicrophone::interrupt()
{
    m_gate.interrupt();
}

void SimulatedMicrophone::recordingStarted()
{
    std::lock_guard<std::mutex> lock(m_gate.mutex());
    m_recordingStartedAt = Clock::now();
}

SimulatedMicrophone::Clock::time_point SimulatedMicrophone::sampleTime(int64_t sample) const
{
    return m_start +
           std::chrono::nanoseconds(std::llround(static_cast<double>(sample) * 1e9 / m_sampleRate));
}

double SimulatedMicrophone::noise()
{
    // xorshift32: cheap, repeatable white noise.
    m_noiseState ^= m_noiseState << 13;
    m_noiseState ^= m_noiseState >> 17;
    m_noiseState ^= m_noiseState << 5;
    return static_cast<double>(m_noiseState) / 2147483648.0 - 1.0;
}

double SimulatedMicrophone::nextSample(int64_t sampleIndex)
{
    const double white = noise();
    const double seconds = static_cast<double>(sampleIndex) / m_sampleRate;
    m_lapping += 0.05 * (white - m_lapping);
    const double swell = 0.7 + 0.3 * std::sin(2.0 * std::numbers::pi * 0.3 * seconds);
    double value = m_lapping * 4.0 * kWaterLevel * swell;
    if (m_splashSample && sampleIndex >= *m_splashSample) {
        const double age = static_cast<double>(sampleIndex - *m_splashSample) / m_sampleRate;
        if (age < kSplashSeconds) {
            m_spray += 0.5 * (white - m_spray);
            const double attack = std::min(1.0, age / 0.01);
            value += kSplashLevel * attack * std::exp(-age / kSplashDecaySeconds) * m_spray * 1.6;
        }
    }
    return std::clamp(value, -1.0, 1.0);
}

ReadStatus SimulatedMicrophone::read(CapturedSound &sound, QString &error)
{
    std::unique_lock<std::mutex> lock(m_gate.mutex());
    if (!m_gate.running()) {
        error = QStringLiteral("The simulated microphone is not started");
        return ReadStatus::Ended;
    }
    const int64_t blockSamples = std::max<int64_t>(1, m_sampleRate * kBlockMs / 1000);
    // A block is there once its last sample has been "heard".
    const Clock::time_point due = sampleTime(m_nextSample + blockSamples);
    if (!m_gate.waitUntil(lock, due))
        return ReadStatus::Again;
    // A reader more than a second behind has lost what the device could not keep.
    const double elapsed = std::chrono::duration<double>(Clock::now() - m_start).count();
    const int64_t heard = static_cast<int64_t>(elapsed * m_sampleRate);
    if (heard - m_nextSample > m_sampleRate)
        m_nextSample = heard - blockSamples;
    if (m_recordingStartedAt) {
        const double since = std::chrono::duration<double>(*m_recordingStartedAt - m_start).count();
        m_splashSample = std::llround((since + m_landingSeconds) * m_sampleRate);
        m_recordingStartedAt.reset();
    }
    const int64_t first = m_nextSample;
    m_nextSample += blockSamples;
    const Clock::time_point stamp = sampleTime(first);
    lock.unlock();

    const int bytesPerSample = m_bitsPerSample / 8;
    sound.pcm.resize(static_cast<qsizetype>(blockSamples * m_channels * bytesPerSample));
    char *out = sound.pcm.data();
    for (int64_t i = 0; i < blockSamples; ++i) {
        const double value = nextSample(first + i);
        for (int c = 0; c < m_channels; ++c) {
            if (bytesPerSample == 2) {
                qToLittleEndian<qint16>(static_cast<qint16>(std::lround(value * 32767.0)), out);
                out += 2;
            } else {
                *out++ = static_cast<char>(static_cast<quint8>(128 + std::lround(value * 127.0)));
            }
        }
    }
    sound.timestampUs =
        std::chrono::duration_cast<std::chrono::microseconds>(stamp.time_since_epoch()).count();
    return ReadStatus::Delivered;
}

} // namespace skelvin
