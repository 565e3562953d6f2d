#pragma once

#include "core/capture/devices/V4l2DeviceInfo.h"
#include "core/capture/devices/V4l2Io.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace skelvin {

// One open camera device node, read and set with the V4L2 ioctls: its capabilities, inputs,
// picture formats and controls. Every call that can fail gives 0 or the positive errno; the
// node is closed with the object.
class V4l2Device
{
public:
    V4l2Device(std::shared_ptr<V4l2Io> io, QString path);
    ~V4l2Device();
    V4l2Device(const V4l2Device &) = delete;
    V4l2Device &operator=(const V4l2Device &) = delete;

    int open();
    bool isOpen() const { return m_fd >= 0; }
    const QString &path() const { return m_path; }

    // Name, inputs and formats. Formats are read only from nodes that capture video.
    int readInfo(V4l2DeviceInfo &info);
    int inputs(QStringList &names);
    int currentInput(int &index);
    int setInput(int index);
    int formats(std::vector<VideoFormatOffer> &offers);

    // Integer, flag and menu controls with their current values. Disabled controls are left
    // out; controls that cannot be changed now (read-only, inactive under an automatic mode,
    // grabbed while streaming) are marked read-only.
    int controls(std::vector<V4l2Control> &controls);
    // Sets a control and reads back what the device made of it. EINVAL/ERANGE for a value
    // outside the control's range, EACCES for a control that cannot be changed now.
    int setControl(uint32_t controlId, int value, int *valueRead = nullptr);

private:
    int xioctl(unsigned long request, void *arg);
    int sizes(uint32_t pixelFormat, std::vector<QSize> &sizes);
    std::vector<double> framesPerSecond(uint32_t pixelFormat, QSize size);
    int menuItems(uint32_t controlId, int minimum, int maximum, bool integerMenu,
                  QStringList &items);

    std::shared_ptr<V4l2Io> m_io;
    QString m_path;
    int m_fd = -1;
};

} // namespace skelvin
