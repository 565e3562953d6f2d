#pragma once

#include <QObject>
#include <QString>

struct udev;
struct udev_monitor;
class QSocketNotifier;

namespace skelvin {

// News of cameras and sound cards plugged in or pulled out, from udev's monitor of the
// "video4linux" and "sound" subsystems. Where udev is not there (a container, a build
// machine) it is quiet and the device lists stay as they were read.
class DeviceWatcher : public QObject
{
    Q_OBJECT
public:
    explicit DeviceWatcher(QObject *parent = nullptr);
    ~DeviceWatcher() override;

    // Whether news can come at all.
    bool watching() const { return m_monitor != nullptr; }

signals:
    // `subsystem` is "video4linux" or "sound"; `deviceNode` e.g. "/dev/video2" or
    // "/dev/snd/pcmC1D0c" (empty for a sound card's own entry).
    void added(const QString &subsystem, const QString &deviceNode);
    void removed(const QString &subsystem, const QString &deviceNode);

private:
    void readEvents();

    struct udev *m_udev = nullptr;
    struct udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace skelvin
