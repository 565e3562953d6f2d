#pragma once

#include "core/capture/CaptureListChoices.h"

#include <QString>
#include <QStringList>

namespace skelvin {

class CaptureDevice;
class Prompter;

// What the capture panel's device lists show when a camera or a sound device is plugged in
// (change 0) or pulled out (change 1), as the control reports it: `index` is the device's
// place in the control's list, after the change for an arrival and before it for a removal.
//
// A device plugged in while none is connected is offered to the operator, who may take it as
// the device to connect next; one plugged in while another is connected is only listed, so a
// running preview or recording is never taken away.
class DeviceListChanges
{
public:
    DeviceListChanges(CaptureDevice &device, Prompter &prompter);

    // The video device list (`shown` is what it shows now). The first camera to arrive
    // replaces "No Capture Devices" and is chosen; the last to leave brings it back.
    ListChoice videoDevices(const QStringList &shown, int change, int index, const QString &name);
    // The sound device list, "None" first.
    ListChoice audioDevices(const QStringList &shown, int change, int index, const QString &name);

    // The question put for a device plugged in.
    static QString pluggedInQuestion(const QString &name);

private:
    CaptureDevice &m_device;
    Prompter &m_prompter;
};

} // namespace skelvin
