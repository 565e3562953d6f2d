#include "core/capture/devices/DeviceWatcher.h"

#include <QSocketNotifier>

#include <cstring>
#include <libudev.h>

namespace skelvin {

DeviceWatcher::DeviceWatcher(QObject *parent) : QObject(parent)
{
    m_udev = udev_new();
    if (!m_udev)
        return;
    m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
    if (m_monitor &&
        (udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "video4linux", nullptr) < 0 ||
         udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "sound", nullptr) < 0 ||
         udev_monitor_enable_receiving(m_monitor) < 0)) {
        udev_monitor_unref(m_monitor);
        m_monitor = nullptr;
    }
    if (!m_monitor)
        return;
    const int fd = udev_monitor_get_fd(m_monitor);
    if (fd < 0)
        return;
    m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &DeviceWatcher::readEvents);
}

DeviceWatcher::~DeviceWatcher()
{
    delete m_notifier;
    if (m_monitor)
        udev_monitor_unref(m_monitor);
    if (m_udev)
        udev_unref(m_udev);
}

void DeviceWatcher::readEvents()
{
    // The monitor's socket does not block: every waiting event is taken, then it returns null.
    while (udev_device *device = udev_monitor_receive_device(m_monitor)) {
        const char *action = udev_device_get_action(device);
        const char *subsystem = udev_device_get_subsystem(device);
        const char *node = udev_device_get_devnode(device);
        const QString subsystemName = QString::fromUtf8(subsystem ? subsystem : "");
        const QString nodeName = QString::fromUtf8(node ? node : "");
        if (action && std::strcmp(action, "add") == 0)
            emit added(subsystemName, nodeName);
        else if (action && std::strcmp(action, "remove") == 0)
            emit removed(subsystemName, nodeName);
        udev_device_unref(device);
    }
}

} // namespace skelvin
