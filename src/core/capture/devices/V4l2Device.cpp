#include "core/capture/devices/V4l2Device.h"

#include "core/capture/devices/DeviceErrors.h"

#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <linux/videodev2.h>

namespace skelvin {

namespace {

// Enumerations end with EINVAL; a device that never says so is cut off here.
constexpr uint32_t kMaxEntries = 256;

// FFmpeg's name for each V4L2 pixel format the video4linux2 input can take: a pixel format
// for raw pictures, a decoder for compressed ones.
struct FourccName
{
    uint32_t fourcc;
    const char *ffmpegName;
};
constexpr FourccName kFourccNames[] = {
    {V4L2_PIX_FMT_YUYV, "yuyv422"},     {V4L2_PIX_FMT_UYVY, "uyvy422"},
    {V4L2_PIX_FMT_YUV420, "yuv420p"},   {V4L2_PIX_FMT_YUV422P, "yuv422p"},
    {V4L2_PIX_FMT_YUV411P, "yuv411p"},  {V4L2_PIX_FMT_YUV410, "yuv410p"},
    {V4L2_PIX_FMT_NV12, "nv12"},        {V4L2_PIX_FMT_RGB24, "rgb24"},
    {V4L2_PIX_FMT_BGR24, "bgr24"},      {V4L2_PIX_FMT_RGB555, "rgb555le"},
    {V4L2_PIX_FMT_RGB565, "rgb565le"},  {V4L2_PIX_FMT_RGB555X, "rgb555be"},
    {V4L2_PIX_FMT_RGB565X, "rgb565be"}, {V4L2_PIX_FMT_BGR32, "bgr0"},
    {V4L2_PIX_FMT_RGB32, "0rgb"},       {V4L2_PIX_FMT_GREY, "gray"},
    {V4L2_PIX_FMT_Y16, "gray16le"},     {V4L2_PIX_FMT_MJPEG, "mjpeg"},
    {V4L2_PIX_FMT_JPEG, "mjpeg"},       {V4L2_PIX_FMT_H264, "h264"},
};

const char *ffmpegName(uint32_t fourcc)
{
    for (const FourccName &entry : kFourccNames)
        if (entry.fourcc == fourcc)
            return entry.ffmpegName;
    return nullptr;
}

// The sizes offered from a stepwise or continuous range: the usual camera sizes that fit it,
// and the largest.
std::vector<QSize> sizesInRange(const v4l2_frmsize_stepwise &range)
{
    static const QSize kUsual[] = {{160, 120},   {320, 240},   {640, 480},   {800, 600},
                                   {1024, 768},  {1280, 720},  {1280, 960},  {1280, 1024},
                                   {1600, 1200}, {1920, 1080}, {2560, 1440}, {3840, 2160}};
    const auto fits = [&](uint32_t value, uint32_t minimum, uint32_t maximum, uint32_t step) {
        return value >= minimum && value <= maximum && (step <= 1 || (value - minimum) % step == 0);
    };
    std::vector<QSize> sizes;
    for (const QSize &size : kUsual)
        if (fits(size.width(), range.min_width, range.max_width, range.step_width) &&
            fits(size.height(), range.min_height, range.max_height, range.step_height))
            sizes.push_back(size);
    const QSize largest(int(range.max_width), int(range.max_height));
    if (largest.width() > 0 && largest.height() > 0 &&
        std::find(sizes.begin(), sizes.end(), largest) == sizes.end())
        sizes.push_back(largest);
    return sizes;
}

double rate(const v4l2_fract &interval)
{
    return interval.numerator == 0 ? 0.0 : double(interval.denominator) / interval.numerator;
}

// "White Balance Temperature, Auto" -> "white_balance_temperature_auto".
QString settingId(const QString &name)
{
    static const QRegularExpression kNotWord(QStringLiteral("[^a-z0-9]+"));
    QString id = name.toLower().replace(kNotWord, QStringLiteral("_"));
    while (id.startsWith(u'_'))
        id.remove(0, 1);
    while (id.endsWith(u'_'))
        id.chop(1);
    return id;
}

QString fixedText(const unsigned char *text, size_t size)
{
    const char *chars = reinterpret_cast<const char *>(text);
    return QString::fromUtf8(chars, qsizetype(strnlen(chars, size))).trimmed();
}

int clampToInt(int64_t value)
{
    return int(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

} // namespace

V4l2Device::V4l2Device(std::shared_ptr<V4l2Io> io, QString path)
    : m_io(std::move(io)), m_path(std::move(path))
{
}

V4l2Device::~V4l2Device()
{
    if (m_fd >= 0)
        m_io->close(m_fd);
}

int V4l2Device::open()
{
    if (m_fd >= 0)
        return 0;
    const int fd = m_io->open(m_path);
    if (fd < 0)
        return -fd;
    m_fd = fd;
    return 0;
}

int V4l2Device::xioctl(unsigned long request, void *arg)
{
    if (m_fd < 0)
        return EBADF;
    return -m_io->ioctl(m_fd, request, arg);
}

int V4l2Device::readInfo(V4l2DeviceInfo &info)
{
    info = {};
    info.path = m_path;
    v4l2_capability cap{};
    if (int error = xioctl(VIDIOC_QUERYCAP, &cap))
        return error;
    info.name = fixedText(cap.card, sizeof cap.card);
    if (info.name.isEmpty())
        info.name = m_path;
    info.busInfo = fixedText(cap.bus_info, sizeof cap.bus_info);
    const uint32_t caps =
        (cap.capabilities & V4L2_CAP_DEVICE_CAPS) ? cap.device_caps : cap.capabilities;
    // FFmpeg's input reads single-planar capture nodes through memory-mapped streaming.
    info.capturesVideo = (caps & V4L2_CAP_VIDEO_CAPTURE) && (caps & V4L2_CAP_STREAMING);
    if (!info.capturesVideo)
        return 0;
    if (int error = inputs(info.inputs))
        return error;
    return formats(info.formats);
}

int V4l2Device::inputs(QStringList &names)
{
    names.clear();
    for (uint32_t index = 0; index < kMaxEntries; ++index) {
        v4l2_input input{};
        input.index = index;
        const int error = xioctl(VIDIOC_ENUMINPUT, &input);
        if (error == EINVAL)
            break;
        // Some drivers have no inputs to list; that is one input, not a failure.
        if (error == ENOTTY)
            break;
        if (error)
            return error;
        names << fixedText(input.name, sizeof input.name);
    }
    return 0;
}

int V4l2Device::currentInput(int &index)
{
    int value = 0;
    const int error = xioctl(VIDIOC_G_INPUT, &value);
    index = error ? 0 : value;
    return error == ENOTTY ? 0 : error;
}

int V4l2Device::setInput(int index)
{
    int value = index;
    return xioctl(VIDIOC_S_INPUT, &value);
}

int V4l2Device::formats(std::vector<VideoFormatOffer> &offers)
{
    offers.clear();
    QStringList namesSeen;
    for (uint32_t index = 0; index < kMaxEntries; ++index) {
        v4l2_fmtdesc desc{};
        desc.index = index;
        desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        const int error = xioctl(VIDIOC_ENUM_FMT, &desc);
        if (error == EINVAL)
            break;
        if (error)
            return error;
        const char *name = ffmpegName(desc.pixelformat);
        // A format FFmpeg cannot take, or a second fourcc for one it already has (JPEG after
        // MJPG), is not offered.
        if (!name || namesSeen.contains(QLatin1String(name)))
            continue;
        namesSeen << QLatin1String(name);
        std::vector<QSize> frameSizes;
        if (int sizeError = sizes(desc.pixelformat, frameSizes))
            return sizeError;
        for (const QSize &size : frameSizes) {
            VideoFormatOffer offer;
            offer.pixelFormat = QLatin1String(name);
            offer.description = fixedText(desc.description, sizeof desc.description);
            offer.size = size;
            offer.framesPerSecond = framesPerSecond(desc.pixelformat, size);
            offers.push_back(std::move(offer));
        }
    }
    return 0;
}

int V4l2Device::sizes(uint32_t pixelFormat, std::vector<QSize> &sizes)
{
    sizes.clear();
    for (uint32_t index = 0; index < kMaxEntries; ++index) {
        v4l2_frmsizeenum size{};
        size.index = index;
        size.pixel_format = pixelFormat;
        const int error = xioctl(VIDIOC_ENUM_FRAMESIZES, &size);
        if (error == EINVAL || error == ENOTTY)
            break;
        if (error)
            return error;
        if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
            sizes.emplace_back(int(size.discrete.width), int(size.discrete.height));
            continue;
        }
        sizes = sizesInRange(size.stepwise);
        break;
    }
    return 0;
}

std::vector<double> V4l2Device::framesPerSecond(uint32_t pixelFormat, QSize size)
{
    std::vector<double> rates;
    for (uint32_t index = 0; index < kMaxEntries; ++index) {
        v4l2_frmivalenum interval{};
        interval.index = index;
        interval.pixel_format = pixelFormat;
        interval.width = uint32_t(size.width());
        interval.height = uint32_t(size.height());
        if (xioctl(VIDIOC_ENUM_FRAMEINTERVALS, &interval))
            break;
        if (interval.type == V4L2_FRMIVAL_TYPE_DISCRETE) {
            if (const double fps = rate(interval.discrete); fps > 0)
                rates.push_back(fps);
            continue;
        }
        // A range of intervals: its fastest rate and the usual rates within it.
        const double fastest = rate(interval.stepwise.min);
        const double slowest = rate(interval.stepwise.max);
        if (fastest > 0)
            rates.push_back(fastest);
        for (double usual : {120.0, 60.0, 50.0, 30.0, 25.0, 20.0, 15.0, 10.0, 5.0})
            if (usual < fastest && usual >= slowest)
                rates.push_back(usual);
        break;
    }
    std::sort(rates.begin(), rates.end(), std::greater<>());
    rates.erase(std::unique(rates.begin(), rates.end(),
                            [](double a, double b) { return std::abs(a - b) < 1e-6; }),
                rates.end());
    return rates;
}

int V4l2Device::controls(std::vector<V4l2Control> &controls)
{
    controls.clear();
    uint32_t nextId = V4L2_CTRL_FLAG_NEXT_CTRL;
    for (uint32_t count = 0; count < 4 * kMaxEntries; ++count) {
        v4l2_query_ext_ctrl query{};
        query.id = nextId;
        const int error = xioctl(VIDIOC_QUERY_EXT_CTRL, &query);
        if (error == EINVAL || error == ENOTTY)
            break;
        if (error)
            return error;
        nextId = query.id | V4L2_CTRL_FLAG_NEXT_CTRL;
        if (query.flags & V4L2_CTRL_FLAG_DISABLED)
            continue;

        V4l2Control control;
        control.controlId = query.id;
        DeviceSetting &setting = control.setting;
        setting.name =
            fixedText(reinterpret_cast<const unsigned char *>(query.name), sizeof query.name);
        setting.id = settingId(setting.name);
        setting.minimum = clampToInt(query.minimum);
        setting.maximum = clampToInt(query.maximum);
        setting.step = std::max(1, clampToInt(int64_t(query.step)));
        setting.defaultValue = clampToInt(query.default_value);
        switch (query.type) {
        case V4L2_CTRL_TYPE_INTEGER:
            setting.kind = DeviceSetting::Kind::Integer;
            break;
        case V4L2_CTRL_TYPE_BOOLEAN:
            setting.kind = DeviceSetting::Kind::Flag;
            break;
        case V4L2_CTRL_TYPE_MENU:
        case V4L2_CTRL_TYPE_INTEGER_MENU:
            setting.kind = DeviceSetting::Kind::Menu;
            if (int menuError =
                    menuItems(query.id, setting.minimum, setting.maximum,
                              query.type == V4L2_CTRL_TYPE_INTEGER_MENU, setting.menuItems))
                return menuError;
            break;
        default:
            // Buttons, class headings, 64-bit, string and compound controls have no value a
            // slider, check box or list can show.
            continue;
        }
        if (setting.id.isEmpty() || std::any_of(controls.begin(), controls.end(), [&](auto &c) {
                return c.setting.id == setting.id;
            }))
            setting.id = QStringLiteral("control_%1").arg(query.id, 0, 16);
        setting.readOnly = query.flags & (V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_INACTIVE |
                                          V4L2_CTRL_FLAG_GRABBED);

        v4l2_control value{};
        value.id = query.id;
        const int readError = xioctl(VIDIOC_G_CTRL, &value);
        if (isDisconnection(readError))
            return readError;
        // A write-only control shows its default.
        setting.value = readError ? setting.defaultValue : value.value;
        controls.push_back(std::move(control));
    }
    return 0;
}

int V4l2Device::menuItems(uint32_t controlId, int minimum, int maximum, bool integerMenu,
                          QStringList &items)
{
    items.clear();
    // Item i stands for value minimum + i; a value the device leaves out of its menu stays
    // as an empty item so the positions still match.
    if (int64_t(maximum) - minimum >= int64_t(kMaxEntries))
        maximum = minimum + int(kMaxEntries) - 1;
    for (int value = minimum; value <= maximum; ++value) {
        v4l2_querymenu menu{};
        menu.id = controlId;
        menu.index = uint32_t(value);
        const int error = xioctl(VIDIOC_QUERYMENU, &menu);
        if (isDisconnection(error))
            return error;
        if (error)
            items << QString();
        else if (integerMenu)
            items << QString::number(menu.value);
        else
            items << fixedText(menu.name, sizeof menu.name);
    }
    return 0;
}

int V4l2Device::setControl(uint32_t controlId, int value, int *valueRead)
{
    v4l2_control control{};
    control.id = controlId;
    control.value = value;
    if (int error = xioctl(VIDIOC_S_CTRL, &control))
        return error;
    if (valueRead) {
        v4l2_control readBack{};
        readBack.id = controlId;
        *valueRead = xioctl(VIDIOC_G_CTRL, &readBack) ? control.value : readBack.value;
    }
    return 0;
}

} // namespace skelvin
