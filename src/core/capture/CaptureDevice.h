#pragma once

#include <QString>
#include <QStringList>

namespace skelvin {

// The camera side as the start-up and the main screen's capture controls see it: the devices
// and compressors to offer, connecting to one, its own frame rate and capture limit, and the
// live preview.
class CaptureDevice
{
public:
    virtual ~CaptureDevice() = default;

    virtual QStringList deviceNames() const = 0;
    virtual QStringList compressorNames() const = 0;
    // Connects to the device at this position of deviceNames(); false when it cannot.
    virtual bool connectDevice(int index) = 0;
    virtual double frameRate() const = 0;
    virtual void setFrameRate(double framesPerSecond) = 0;
    virtual int captureLimitSeconds() const = 0;
    virtual bool previewEnabled() const = 0;
    virtual void setPreviewEnabled(bool on) = 0;
};

// A machine without a camera: no devices, nothing to connect to.
class NoCaptureDevice : public CaptureDevice
{
public:
    QStringList deviceNames() const override { return {}; }
    QStringList compressorNames() const override { return {}; }
    bool connectDevice(int) override { return false; }
    double frameRate() const override { return m_frameRate; }
    void setFrameRate(double framesPerSecond) override { m_frameRate = framesPerSecond; }
    int captureLimitSeconds() const override { return 0; }
    bool previewEnabled() const override { return m_preview; }
    void setPreviewEnabled(bool on) override { m_preview = on; }

private:
    double m_frameRate = 30.0;
    bool m_preview = false;
};

} // namespace skelvin
