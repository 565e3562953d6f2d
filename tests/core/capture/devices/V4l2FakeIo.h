#pragma once

#include "core/capture/devices/V4l2Io.h"

#include <QString>

#include <linux/videodev2.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace skelvin::test {

// A made-up camera's device node, as the V4L2 ioctls see it.
struct FakeV4l2Node
{
    struct Size
    {
        uint32_t width = 0, height = 0;
        std::vector<v4l2_fract> intervals; // discrete frame intervals
    };
    struct Format
    {
        uint32_t fourcc = 0;
        std::string description;
        std::vector<Size> sizes; // discrete sizes, or
        std::optional<v4l2_frmsize_stepwise> stepwise;
        std::optional<v4l2_frmival_stepwise> continuousIntervals;
    };
    struct Control
    {
        v4l2_query_ext_ctrl query{};
        int value = 0;
        std::map<uint32_t, std::string> menu;
    };

    std::string card;
    uint32_t deviceCaps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
    std::vector<std::string> inputs;
    int input = 0;
    std::vector<Format> formats;
    std::vector<Control> controls; // in control id order
    bool busy = false;             // open gives EBUSY
};

// The camera the tests use: "Fake HD Webcam" with YUYV and Motion-JPEG at three sizes (and a
// format FFmpeg cannot take), brightness, a power-line menu, an exposure menu with gaps, an
// automatic white balance flag and the white balance temperature it makes inactive.
FakeV4l2Node fakeWebcam(const std::string &card = "Fake HD Webcam");
// A camera's metadata node: it gives no pictures.
FakeV4l2Node fakeMetadataNode(const std::string &card = "Fake HD Webcam");

// Device nodes that can be plugged in and pulled out. A node pulled out cannot be opened
// (ENOENT) and every call on a descriptor still open on it gives ENODEV, as for a camera
// pulled from its USB port.
class V4l2FakeIo : public V4l2Io
{
public:
    void plug(const QString &path, FakeV4l2Node node);
    void unplug(const QString &path);
    FakeV4l2Node &node(const QString &path) { return m_nodes.at(path); }

    int open(const QString &path) override;
    void close(int fd) override;
    int ioctl(int fd, unsigned long request, void *arg) override;

    int openDescriptors() const { return int(m_open.size()); }
    // Every VIDIOC_S_CTRL that reached a device: control id and value.
    std::vector<std::pair<uint32_t, int>> controlWrites;

private:
    int answer(FakeV4l2Node &node, unsigned long request, void *arg);

    std::map<QString, FakeV4l2Node> m_nodes;
    std::map<int, QString> m_open;
    int m_nextFd = 100;
};

} // namespace skelvin::test
