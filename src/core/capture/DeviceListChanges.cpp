#include "core/capture/DeviceListChanges.h"

#include "core/capture/CaptureDevice.h"
#include "core/common/Prompter.h"

#include <algorithm>

namespace skelvin {

DeviceListChanges::DeviceListChanges(CaptureDevice &device, Prompter &prompter)
    : m_device(device), m_prompter(prompter)
{
}

QString DeviceListChanges::pluggedInQuestion(const QString &name)
{
    return name + QStringLiteral(" is plugged into your computer. Do you want to use it?");
}

ListChoice DeviceListChanges::videoDevices(const QStringList &shown, int change, int index,
                                           const QString &name)
{
    QStringList items = shown;
    if (change == 0) {
        if (items.value(0) == kNoCaptureDevicesText && index == 0) {
            m_device.setVideoDeviceIndex(0);
            return {{name}, 0};
        }
        items.insert(std::clamp<qsizetype>(index, 0, items.size()), name);
        if (!m_device.Connected() && m_device.VideoDeviceIndex() != index &&
            m_prompter.askYesNo(pluggedInQuestion(name)))
            m_device.setVideoDeviceIndex(index);
    } else if (index >= 0 && index < items.size()) {
        items.removeAt(index);
    }
    if (m_device.VideoDeviceCount() > 0)
        return {items, m_device.VideoDeviceIndex()};
    return {{kNoCaptureDevicesText}, 0};
}

ListChoice DeviceListChanges::audioDevices(const QStringList &shown, int change, int index,
                                           const QString &name)
{
    QStringList items = shown;
    if (change == 0) {
        items.insert(std::clamp<qsizetype>(index + 1, 0, items.size()), name);
        if (!m_device.Connected() && m_device.AudioDeviceIndex() != index &&
            m_prompter.askYesNo(pluggedInQuestion(name)))
            m_device.setAudioDeviceIndex(index);
    } else if (index + 1 > 0 && index + 1 < items.size()) {
        items.removeAt(index + 1);
    }
    return {items, m_device.AudioDeviceCount() > 0 ? m_device.AudioDeviceIndex() + 1 : 0};
}

} // namespace skelvin
