#include "core/vision/BuoyFinder.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <QRect>

#include <algorithm>
#include <cmath>
#include <vector>

namespace skelvin {

namespace {

// A disc covers at least this share of its bounding box (π/4 for a whole one, less when noise
// frays its edge); spray and wave crests are longer and thinner.
constexpr double kLeastFill = 0.45;
// How much brighter than the water's own ripple a buoy must stand before it is trusted.
constexpr double kLeastContrastToNoise = 6.0;
// The faintest difference from the water (RGB distance, 0 to 441) that can be a buoy at all.
constexpr double kLeastContrast = 24.0;

int oddAtLeast(double value, int least)
{
    const int n = std::max(least, static_cast<int>(std::ceil(value)));
    return n % 2 == 1 ? n : n + 1;
}

BuoyFind notFound(const QString &reason)
{
    BuoyFind find;
    find.reason = reason;
    return find;
}

cv::Rect boxOf(const cv::Mat &stats, int label)
{
    return {stats.at<int>(label, cv::CC_STAT_LEFT), stats.at<int>(label, cv::CC_STAT_TOP),
            stats.at<int>(label, cv::CC_STAT_WIDTH), stats.at<int>(label, cv::CC_STAT_HEIGHT)};
}

// The labels of the pieces of `mask` whose centre lies within `radius` of `near` and whose size
// can be a buoy's: specks of spray and glints are far smaller, boats and wakes far larger.
std::vector<int> candidatesOf(const cv::Mat &mask, cv::Mat &labels, cv::Point2d near,
                              double radius, double expectedArea)
{
    cv::Mat stats, centroids;
    const int count = cv::connectedComponentsWithStats(mask, labels, stats, centroids, 8, CV_32S);
    std::vector<int> found;
    for (int label = 1; label < count; ++label) {
        const double distance = std::hypot(centroids.at<double>(label, 0) - near.x,
                                           centroids.at<double>(label, 1) - near.y);
        const int area = stats.at<int>(label, cv::CC_STAT_AREA);
        if (distance <= radius && area >= 0.2 * expectedArea && area <= 5.0 * expectedArea)
            found.push_back(label);
    }
    return found;
}

// The length of every pixel's three values.
cv::Mat lengthOf(const cv::Mat &values)
{
    cv::Mat squared, length;
    cv::multiply(values, values, squared);
    cv::transform(squared, length, cv::Matx13f(1.0F, 1.0F, 1.0F));
    cv::sqrt(length, length);
    return length;
}

// A mask of what stands out of `contrast` by more than the water's own ripple there, and that
// ripple (mean plus one standard deviation of what does not stand out, at least 1).
cv::Mat standingOut(const cv::Mat &contrast, double leastContrast, double &noise)
{
    cv::Mat mask = contrast >= leastContrast;
    cv::Scalar meanContrast, ripple;
    cv::meanStdDev(contrast, meanContrast, ripple, mask == 0);
    noise = std::max(1.0, meanContrast[0] + ripple[0]);
    if (3.0 * noise > leastContrast)
        mask = contrast >= 3.0 * noise;
    return mask;
}

} // namespace

BuoyFind findBuoy(const QImage &picture, const BuoySearch &search)
{
    if (picture.isNull())
        return notFound(QStringLiteral("no picture"));
    const double diameter = std::max(2.0, search.expectedDiameterPx);
    const double radius = std::max(1.0, search.searchRadiusPx);
    const int margin = static_cast<int>(std::ceil(1.5 * diameter)) + 3;
    const int span = static_cast<int>(std::ceil(2 * radius)) + 2 * margin + 1;
    const QRect wanted(static_cast<int>(std::floor(search.near.x() - radius)) - margin,
                       static_cast<int>(std::floor(search.near.y() - radius)) - margin, span, span);
    const QRect area = wanted.intersected(picture.rect());
    if (area.width() < 3 || area.height() < 3)
        return notFound(QStringLiteral("the point is outside the picture"));

    QImage part = picture.copy(area).convertToFormat(QImage::Format_RGB888);
    const cv::Mat rgb(part.height(), part.width(), CV_8UC3, part.bits(),
                      static_cast<size_t>(part.bytesPerLine()));

    // The water around the point with the buoy taken out: a median over a window several buoys
    // wide. Every pixel's difference from it grows with how much of the pixel the buoy covers,
    // which is what makes the weighted centre exact to a fraction of a pixel.
    cv::Mat water;
    const int window = std::min(oddAtLeast(3.0 * diameter, 15),
                                oddAtLeast(std::min(part.width(), part.height()) - 2, 3));
    cv::medianBlur(rgb, water, window);
    cv::Mat difference;
    cv::subtract(rgb, water, difference, cv::noArray(), CV_32FC3);
    const cv::Mat contrast = lengthOf(difference);
    double noise = 1.0;
    const cv::Mat mask = standingOut(contrast, kLeastContrast, noise);

    const double expectedArea = M_PI / 4.0 * diameter * diameter;
    const cv::Point2d near(search.near.x() - area.left(), search.near.y() - area.top());
    cv::Mat labels;
    std::vector<int> candidates = candidatesOf(mask, labels, near, radius, expectedArea);
    if (candidates.size() != 1) {
        // Whitecaps, glints and spray add white light to the water: with the grey part of every
        // difference taken out they fade, while a coloured buoy keeps standing out. A white
        // buoy among whitecaps stays not found.
        cv::Mat grey;
        cv::transform(difference, grey, cv::Matx33f::all(1.0F / 3.0F));
        double chromaNoise = 1.0;
        const cv::Mat chromaMask =
            standingOut(lengthOf(difference - grey), kLeastContrast, chromaNoise);
        cv::Mat chromaLabels;
        const std::vector<int> chromaCandidates =
            candidatesOf(chromaMask, chromaLabels, near, radius, expectedArea);
        if (chromaCandidates.size() == 1) {
            candidates = chromaCandidates;
            labels = chromaLabels;
        }
    }
    if (candidates.empty())
        return notFound(QStringLiteral("no buoy within %1 px").arg(std::lround(radius)));
    if (candidates.size() > 1)
        return notFound(candidates.size() == 2
                            ? QStringLiteral("two candidates")
                            : QStringLiteral("%1 candidates").arg(candidates.size()));
    const cv::Mat blob = labels == candidates.front();

    double peak = 0.0;
    cv::minMaxLoc(contrast, nullptr, &peak, nullptr, nullptr, blob);
    if (peak / noise < kLeastContrastToNoise)
        return notFound(QStringLiteral("too faint"));

    // The buoy's own colour against the water, from its most covered pixels. Measuring every
    // pixel along it leaves out a whitecap or glint that touches the buoy: those differ from
    // the water in another colour.
    const cv::Scalar buoyColour = cv::mean(difference, blob & (contrast >= 0.8 * peak));
    cv::Vec3f along(static_cast<float>(buoyColour[0]), static_cast<float>(buoyColour[1]),
                    static_cast<float>(buoyColour[2]));
    const double strength = cv::norm(along);
    if (strength <= 0.0)
        return notFound(QStringLiteral("too faint"));
    along /= static_cast<float>(strength * strength);
    cv::Mat covered;
    cv::transform(difference, covered, cv::Matx13f(along[0], along[1], along[2]));
    {
        // A pixel the buoy covers in part differs from the water by that part of the buoy's
        // colour and little else; one where a whitecap or a glint touches the buoy differs in
        // another colour as well, and counts for nothing.
        cv::Mat share;
        cv::min(cv::max(covered, 0.0), 1.0, share);
        cv::Mat expected;
        cv::transform(share, expected,
                      cv::Matx31f(static_cast<float>(buoyColour[0]),
                                  static_cast<float>(buoyColour[1]),
                                  static_cast<float>(buoyColour[2])));
        const cv::Mat residual = lengthOf(difference - expected);
        cv::Mat allowed = 3.0 * noise + 0.25 * strength * share;
        covered.setTo(0.0F, residual > allowed);
    }

    // The disc is where the buoy covers more than half of a pixel: the largest such piece.
    cv::Mat pieces, stats, centroids;
    const int pieceCount = cv::connectedComponentsWithStats((covered >= 0.5F) & blob, pieces,
                                                            stats, centroids, 8, CV_32S);
    int piece = 0;
    for (int label = 1; label < pieceCount; ++label)
        if (piece == 0 ||
            stats.at<int>(label, cv::CC_STAT_AREA) > stats.at<int>(piece, cv::CC_STAT_AREA))
            piece = label;
    if (piece == 0)
        return notFound(QStringLiteral("too faint"));
    const cv::Rect box = boxOf(stats, piece);
    const QRect onPicture(box.x + area.left(), box.y + area.top(), box.width, box.height);
    if (onPicture.left() <= 0 || onPicture.top() <= 0 ||
        onPicture.right() >= picture.width() - 1 || onPicture.bottom() >= picture.height() - 1)
        return notFound(QStringLiteral("cut by the picture's edge"));
    const double fill =
        static_cast<double>(stats.at<int>(piece, cv::CC_STAT_AREA)) / (box.width * box.height);
    const double aspect =
        static_cast<double>(std::min(box.width, box.height)) / std::max(box.width, box.height);
    if (fill < kLeastFill || aspect < 0.5)
        return notFound(QStringLiteral("not round"));

    // Each pixel weighs the share of it the buoy covers, over the disc and the ring of pixels
    // around it that its edge may touch (an edge half way across a pixel reaches at most the
    // next one); what covers less than a tenth is the water's ripple.
    cv::Mat disc = pieces == piece;
    cv::dilate(disc, disc, cv::getStructuringElement(cv::MORPH_RECT, cv::Size(3, 3)));
    cv::Mat weight;
    cv::min(covered, 1.0, weight);
    cv::threshold(weight, weight, 0.1, 0.0, cv::THRESH_TOZERO);
    cv::Mat masked = cv::Mat::zeros(weight.size(), CV_32F);
    weight.copyTo(masked, disc);
    const cv::Moments m = cv::moments(masked, false);
    if (m.m00 <= 0.0)
        return notFound(QStringLiteral("too faint"));

    BuoyFind find;
    find.found = true;
    find.centre = QPointF(m.m10 / m.m00 + area.left(), m.m01 / m.m00 + area.top());
    find.diameterPx = 2.0 * std::sqrt(m.m00 / M_PI);
    find.confidence =
        std::clamp((peak / noise - kLeastContrastToNoise) / 10.0, 0.0, 1.0) *
        std::clamp((fill - kLeastFill) / (M_PI / 4.0 - kLeastFill), 0.0, 1.0);
    return find;
}

} // namespace skelvin
