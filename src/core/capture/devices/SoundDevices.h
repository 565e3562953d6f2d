#pragma once

#include <QString>

#include <vector>

namespace skelvin {

// A sound capture device as FFmpeg opens it.
struct SoundDevice
{
    QString name;       // what the device list shows
    QString formatName; // FFmpeg's input device: "alsa" or "pulse"
    QString url;        // "plughw:1,0", "default"
    bool operator==(const SoundDevice &) const = default;
};

// The machine's sound devices, read from files that are always there when sound is (the
// kernel's list of PCM devices, the PulseAudio socket), so that listing never waits on a
// sound server that does not answer.
class SoundDevices
{
public:
    // The PulseAudio (or PipeWire) default source first when a sound server runs, then every
    // ALSA PCM device that captures, in card and device order, named after its card (the
    // "cards" file beside `procPcmPath`).
    static std::vector<SoundDevice> captureDevices();
    static std::vector<SoundDevice> captureDevices(const QString &procPcmPath,
                                                   const QString &pulseSocketPath);
    // Whether there is anything to play sound through.
    static bool hasOutput();
    static bool hasOutput(const QString &procPcmPath, const QString &pulseSocketPath);

    static QString procPcmPath() { return QStringLiteral("/proc/asound/pcm"); }
    // Where the user's sound server listens (empty when there is no runtime directory).
    static QString pulseSocketPath();
};

inline const QString kPulseDefaultSourceName = QStringLiteral("Default sound input (PulseAudio)");

} // namespace skelvin
