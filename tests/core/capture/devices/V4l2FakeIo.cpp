#include "V4l2FakeIo.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace skelvin::test {

namespace {

template <size_t N> void copyText(unsigned char (&to)[N], const std::string &from)
{
    std::memset(to, 0, N);
    std::memcpy(to, from.data(), std::min(N - 1, from.size()));
}
template <size_t N> void copyText(char (&to)[N], const std::string &from)
{
    std::memset(to, 0, N);
    std::memcpy(to, from.data(), std::min(N - 1, from.size()));
}

FakeV4l2Node::Control control(uint32_t id, uint32_t type, const std::string &name, int64_t minimum,
                              int64_t maximum, int64_t defaultValue, int value, uint32_t flags = 0)
{
    FakeV4l2Node::Control c;
    c.query.id = id;
    c.query.type = type;
    copyText(c.query.name, name);
    c.query.minimum = minimum;
    c.query.maximum = maximum;
    c.query.step = 1;
    c.query.default_value = defaultValue;
    c.query.flags = flags;
    c.value = value;
    return c;
}

} // namespace

FakeV4l2Node fakeWebcam(const std::string &card)
{
    FakeV4l2Node node;
    node.card = card;
    node.inputs = {"Camera 1"};
    const v4l2_fract fps30{1, 30}, fps15{1, 15}, fps10{1, 10}, fps5{1, 5}, fps60{1, 60};
    node.formats.push_back(
        {V4L2_PIX_FMT_YUYV,
         "YUYV 4:2:2",
         {{640, 480, {fps15, fps30}}, {1280, 720, {fps10, fps5}}, {1920, 1080, {fps5}}},
         {},
         {}});
    // A Bayer format: FFmpeg's input does not take it, so it is not offered.
    node.formats.push_back(
        {V4L2_PIX_FMT_SGRBG10, "10-bit Bayer GRGR/BGBG", {{640, 480, {fps30}}}, {}, {}});
    node.formats.push_back(
        {V4L2_PIX_FMT_MJPEG,
         "Motion-JPEG",
         {{640, 480, {fps30, fps60}}, {1280, 720, {fps30}}, {1920, 1080, {fps30, fps15}}},
         {},
         {}});

    node.controls.push_back(control(V4L2_CID_USER_CLASS, V4L2_CTRL_TYPE_CTRL_CLASS, "User Controls",
                                    0, 0, 0, 0,
                                    V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_WRITE_ONLY));
    node.controls.push_back(
        control(V4L2_CID_BRIGHTNESS, V4L2_CTRL_TYPE_INTEGER, "Brightness", 0, 255, 128, 140));
    node.controls.push_back(control(V4L2_CID_CONTRAST, V4L2_CTRL_TYPE_INTEGER, "Contrast", 0, 95,
                                    32, 32, V4L2_CTRL_FLAG_DISABLED));
    node.controls.push_back(control(V4L2_CID_AUTO_WHITE_BALANCE, V4L2_CTRL_TYPE_BOOLEAN,
                                    "White Balance Temperature, Auto", 0, 1, 1, 1));
    auto powerLine = control(V4L2_CID_POWER_LINE_FREQUENCY, V4L2_CTRL_TYPE_MENU,
                             "Power Line Frequency", 0, 2, 1, 2);
    powerLine.menu = {{0, "Disabled"}, {1, "50 Hz"}, {2, "60 Hz"}};
    node.controls.push_back(powerLine);
    node.controls.push_back(control(V4L2_CID_WHITE_BALANCE_TEMPERATURE, V4L2_CTRL_TYPE_INTEGER,
                                    "White Balance Temperature", 2800, 6500, 4000, 4600,
                                    V4L2_CTRL_FLAG_INACTIVE));
    auto exposure =
        control(V4L2_CID_EXPOSURE_AUTO, V4L2_CTRL_TYPE_MENU, "Auto Exposure", 0, 3, 3, 3);
    exposure.menu = {{1, "Manual Mode"}, {3, "Aperture Priority Mode"}};
    node.controls.push_back(exposure);
    return node;
}

FakeV4l2Node fakeMetadataNode(const std::string &card)
{
    FakeV4l2Node node;
    node.card = card;
    node.deviceCaps = V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING;
    return node;
}

void V4l2FakeIo::plug(const QString &path, FakeV4l2Node node)
{
    m_nodes[path] = std::move(node);
}

void V4l2FakeIo::unplug(const QString &path)
{
    m_nodes.erase(path);
}

int V4l2FakeIo::open(const QString &path)
{
    const auto node = m_nodes.find(path);
    if (node == m_nodes.end())
        return -ENOENT;
    if (node->second.busy)
        return -EBUSY;
    m_open[m_nextFd] = path;
    return m_nextFd++;
}

void V4l2FakeIo::close(int fd)
{
    m_open.erase(fd);
}

int V4l2FakeIo::ioctl(int fd, unsigned long request, void *arg)
{
    const auto open = m_open.find(fd);
    if (open == m_open.end())
        return -EBADF;
    const auto node = m_nodes.find(open->second);
    if (node == m_nodes.end())
        return -ENODEV;
    return answer(node->second, request, arg);
}

int V4l2FakeIo::answer(FakeV4l2Node &node, unsigned long request, void *arg)
{
    switch (request) {
    case VIDIOC_QUERYCAP: {
        auto *cap = static_cast<v4l2_capability *>(arg);
        *cap = {};
        copyText(cap->driver, "fakevideo");
        copyText(cap->card, node.card);
        copyText(cap->bus_info, "usb-0000:00:14.0-1");
        cap->device_caps = node.deviceCaps;
        cap->capabilities = node.deviceCaps | V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_META_CAPTURE |
                            V4L2_CAP_STREAMING | V4L2_CAP_DEVICE_CAPS;
        return 0;
    }
    case VIDIOC_ENUMINPUT: {
        auto *input = static_cast<v4l2_input *>(arg);
        if (input->index >= node.inputs.size())
            return -EINVAL;
        copyText(input->name, node.inputs[input->index]);
        input->type = V4L2_INPUT_TYPE_CAMERA;
        return 0;
    }
    case VIDIOC_G_INPUT:
        *static_cast<int *>(arg) = node.input;
        return 0;
    case VIDIOC_S_INPUT: {
        const int input = *static_cast<int *>(arg);
        if (input < 0 || input >= int(node.inputs.size()))
            return -EINVAL;
        node.input = input;
        return 0;
    }
    case VIDIOC_ENUM_FMT: {
        auto *desc = static_cast<v4l2_fmtdesc *>(arg);
        if (desc->type != V4L2_BUF_TYPE_VIDEO_CAPTURE || desc->index >= node.formats.size())
            return -EINVAL;
        const FakeV4l2Node::Format &format = node.formats[desc->index];
        desc->pixelformat = format.fourcc;
        copyText(desc->description, format.description);
        return 0;
    }
    case VIDIOC_ENUM_FRAMESIZES: {
        auto *size = static_cast<v4l2_frmsizeenum *>(arg);
        for (const FakeV4l2Node::Format &format : node.formats) {
            if (format.fourcc != size->pixel_format)
                continue;
            if (format.stepwise) {
                if (size->index > 0)
                    return -EINVAL;
                size->type = V4L2_FRMSIZE_TYPE_STEPWISE;
                size->stepwise = *format.stepwise;
                return 0;
            }
            if (size->index >= format.sizes.size())
                return -EINVAL;
            size->type = V4L2_FRMSIZE_TYPE_DISCRETE;
            size->discrete = {format.sizes[size->index].width, format.sizes[size->index].height};
            return 0;
        }
        return -EINVAL;
    }
    case VIDIOC_ENUM_FRAMEINTERVALS: {
        auto *interval = static_cast<v4l2_frmivalenum *>(arg);
        for (const FakeV4l2Node::Format &format : node.formats) {
            if (format.fourcc != interval->pixel_format)
                continue;
            if (format.continuousIntervals) {
                if (interval->index > 0)
                    return -EINVAL;
                interval->type = V4L2_FRMIVAL_TYPE_CONTINUOUS;
                interval->stepwise = *format.continuousIntervals;
                return 0;
            }
            for (const FakeV4l2Node::Size &size : format.sizes) {
                if (size.width != interval->width || size.height != interval->height)
                    continue;
                if (interval->index >= size.intervals.size())
                    return -EINVAL;
                interval->type = V4L2_FRMIVAL_TYPE_DISCRETE;
                interval->discrete = size.intervals[interval->index];
                return 0;
            }
        }
        return -EINVAL;
    }
    case VIDIOC_QUERY_EXT_CTRL: {
        auto *query = static_cast<v4l2_query_ext_ctrl *>(arg);
        const bool next = query->id & V4L2_CTRL_FLAG_NEXT_CTRL;
        const uint32_t id = query->id & ~(V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND);
        for (const FakeV4l2Node::Control &control : node.controls) {
            if (next ? control.query.id > id : control.query.id == id) {
                *query = control.query;
                return 0;
            }
        }
        return -EINVAL;
    }
    case VIDIOC_QUERYMENU: {
        auto *menu = static_cast<v4l2_querymenu *>(arg);
        for (const FakeV4l2Node::Control &control : node.controls) {
            if (control.query.id != menu->id)
                continue;
            const auto item = control.menu.find(menu->index);
            if (item == control.menu.end())
                return -EINVAL;
            // The structure is packed: its name is filled through a plain pointer.
            unsigned char *name = menu->name;
            std::memset(name, 0, sizeof menu->name);
            std::memcpy(name, item->second.data(),
                        std::min(sizeof menu->name - 1, item->second.size()));
            return 0;
        }
        return -EINVAL;
    }
    case VIDIOC_G_CTRL:
    case VIDIOC_S_CTRL: {
        auto *value = static_cast<v4l2_control *>(arg);
        for (FakeV4l2Node::Control &control : node.controls) {
            if (control.query.id != value->id)
                continue;
            if (request == VIDIOC_G_CTRL) {
                value->value = control.value;
                return 0;
            }
            if (control.query.flags & V4L2_CTRL_FLAG_READ_ONLY)
                return -EACCES;
            if (value->value < control.query.minimum || value->value > control.query.maximum)
                return -ERANGE;
            controlWrites.emplace_back(value->id, value->value);
            control.value = value->value;
            return 0;
        }
        return -EINVAL;
    }
    default:
        return -ENOTTY;
    }
}

} // namespace skelvin::test
