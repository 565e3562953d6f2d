#include "core/vision/ContactFinder.h"

#include "core/common/PictureSize.h"
#include "core/vision/BuoyTracker.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <optional>

namespace skelvin {

namespace {

// Coarse pictures are about this wide (the landing area's share of it).
constexpr int kCoarseWidth = 640;
// New white is whiter than each of this many frames before: long enough that a whitecap the
// skier's skis hid for a moment is not new when it shows again.
constexpr int kBackgroundFrames = 10;
// Spray is looked for this many frames after the frames it is compared with: by then even a
// small splash covers a patch of the coarse pictures.
constexpr int kSprayGrowFrames = 10;
// The patch: at least this share of a square this wide (coarse pixels) is new white.
constexpr int kSprayBoxPixels = 9;
constexpr double kLeastSprayDensity = 0.2;
// The first drops are about as white as the spray a little later.
constexpr double kLeastShareOfSprayWhite = 0.6;
constexpr int kLeastFirstSprayPixels = 4;
// Spray stays at least this many frames after it first shows, where it showed.
constexpr int kFineStayFrames = 2;
// ... and covers at least twice as much this many frames after.
constexpr int kFineGrowFrames = 3;
constexpr int kFineBackgroundFrames = 4;
// A piece of new white must keep this share of its pixels white in each frame after.
constexpr double kLeastStay = 0.5;

struct Spot
{
    cv::Point2d centre; // in the pictures cut to the band, at their scale
    double area = 0.0;
    double strength = 0.0; // mean excess over the threshold, in thresholds
};

bool directFormat(QImage::Format f)
{
    return f == QImage::Format_RGB32 || f == QImage::Format_ARGB32 ||
           f == QImage::Format_ARGB32_Premultiplied || f == QImage::Format_RGB888 ||
           f == QImage::Format_BGR888;
}

// How white each pixel of `band` is: the least of the three channels less the spread between
// the least and the most, so white and light grey stay bright while every colour (the blue of
// the water, the skier's skin and suit, the orange buoys) darkens. The order of the channels in
// memory does not matter for it.
cv::Mat whitenessOf(const QImage &picture, const cv::Rect &band)
{
    const QImage image =
        directFormat(picture.format()) ? picture : picture.convertToFormat(QImage::Format_RGB32);
    const int channels = image.depth() == 32 ? 4 : 3;
    const cv::Mat whole(image.height(), image.width(), CV_8UC(channels),
                        const_cast<uchar *>(image.constBits()),
                        static_cast<size_t>(image.bytesPerLine()));
    std::vector<cv::Mat> planes;
    cv::split(whole(band), planes);
    cv::Mat least, most, white;
    cv::min(planes[0], planes[1], least);
    cv::min(least, planes[2], least);
    cv::max(planes[0], planes[1], most);
    cv::max(most, planes[2], most);
    // 2 least - most, kept within 0 .. 255.
    cv::addWeighted(least, 2.0, most, -1.0, 0.0, white);
    return white;
}

// The sensor's noise in whiteness, from the difference of two frames: half the water moves a
// little, the rest is noise, and the median absolute difference reads the noise through it.
double noiseOf(const cv::Mat &a, const cv::Mat &b)
{
    cv::Mat difference;
    cv::absdiff(a, b, difference);
    int histSize = 256;
    float range[] = {0.0f, 256.0f};
    const float *ranges[] = {range};
    int channel = 0;
    cv::Mat hist;
    cv::calcHist(&difference, 1, &channel, cv::Mat(), hist, 1, &histSize, ranges);
    const double half = difference.total() / 2.0;
    double sum = 0.0;
    int median = 0;
    for (; median < 255; ++median) {
        sum += hist.at<float>(median);
        if (sum >= half)
            break;
    }
    // For a normal difference of two frames the median absolute value is 0.674 sqrt(2) sigma.
    return median / (0.674 * std::sqrt(2.0));
}

// Part `part` of `image` as it shows moved by whole pixels `shift`: out(x, y) is
// image(part.x + x - shift.x, part.y + y - shift.y), the edge repeated past the image's border.
// Whole pixels: a fraction would blur the thin crests of whitecaps into something new.
cv::Mat shiftedPart(const cv::Mat &image, const cv::Rect &part, cv::Point shift)
{
    const cv::Rect from(part.x - shift.x, part.y - shift.y, part.width, part.height);
    const cv::Rect inside = from & cv::Rect(0, 0, image.cols, image.rows);
    if (inside.empty())
        return cv::Mat(part.size(), image.type(), cv::Scalar(0));
    if (inside == from)
        return image(inside);
    cv::Mat out;
    cv::copyMakeBorder(image(inside), out, inside.y - from.y, from.br().y - inside.br().y,
                       inside.x - from.x, from.br().x - inside.br().x, cv::BORDER_REPLICATE);
    return out;
}

cv::Point wholePixels(cv::Point2d shift)
{
    return {static_cast<int>(std::lround(shift.x)), static_cast<int>(std::lround(shift.y))};
}

} // namespace

struct ContactFinder::State
{
    Grid grid;
    std::vector<cv::Point2f> area; // the landing area, pixels
    QSize size;
    cv::Rect band;
    int factor = 1;
    int refused = 0;
    int notKept = 0; // frames after the bound on what is kept
    std::size_t keptBytes = 0;
    std::size_t mostKeptBytes = 0;
    std::vector<cv::Mat> fine;      // whiteness in the band, full resolution
    std::vector<cv::Mat> coarse;    // the same reduced by `factor`
    std::vector<cv::Point2d> moved; // the picture's movement since frame 0, full-res pixels
    std::unique_ptr<BuoyTracker> tracker;
    double noise = 0.0;

    void start(QSize pictureSize);
    // Frame `from` moved to where the camera shows it in frame `to`, coarse.
    cv::Mat coarseAt(int from, int to) const;
    // Part `part` (band coordinates, full resolution) of frame `to`'s view, taken from frame
    // `from`.
    cv::Mat fineAt(int from, int to, const cv::Rect &part) const;
    double coarseThreshold() const { return std::max(12.0, 3.0 * noise / factor + 8.0); }
    double fineThreshold() const { return std::max(20.0, 4.0 * noise + 8.0); }

    // The first frame from `fromFrame` on whose spray shows a little later.
    std::optional<std::pair<int, Spot>> coarseFind(int fromFrame) const;
    std::optional<std::pair<int, Spot>> fineFind(int coarseFrame, cv::Point2d near,
                                                 double sprayWhite) const;
    QPointF pictureOf(cv::Point2d bandPoint, int scale) const;
};


void ContactFinder::State::start(QSize pictureSize)
{
    size = pictureSize;
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (const CornerBuoy &c : grid.corners) {
        const double x = c.screen.x / TwipsPerPixel, y = c.screen.y / TwipsPerPixel;
        area.emplace_back(static_cast<float>(x), static_cast<float>(y));
        left = std::min(left, x);
        right = std::max(right, x);
        top = std::min(top, y);
        bottom = std::max(bottom, y);
    }
    // Upper right, lower right, upper left, lower left: walk them round the area.
    std::swap(area[2], area[3]);
    // Spray flies up to a few metres: room above the area for a quarter of its height.
    const double margin = 8.0;
    const double above = 0.25 * (bottom - top) + margin;
    const cv::Rect wanted(static_cast<int>(std::floor(left - margin)),
                          static_cast<int>(std::floor(top - above)),
                          static_cast<int>(std::ceil(right - left + 2 * margin)) + 1,
                          static_cast<int>(std::ceil(bottom - top + above + margin)) + 1);
    band = wanted & cv::Rect(0, 0, size.width(), size.height());
    factor = std::max(1, static_cast<int>(std::lround(double(size.width()) / kCoarseWidth)));
}

cv::Mat ContactFinder::State::coarseAt(int from, int to) const
{
    const cv::Mat &picture = coarse[size_t(from)];
    return shiftedPart(picture, cv::Rect(0, 0, picture.cols, picture.rows),
                       wholePixels((moved[size_t(to)] - moved[size_t(from)]) / double(factor)));
}

cv::Mat ContactFinder::State::fineAt(int from, int to, const cv::Rect &part) const
{
    return shiftedPart(fine[size_t(from)], part,
                       wholePixels(moved[size_t(to)] - moved[size_t(from)]));
}

QPointF ContactFinder::State::pictureOf(cv::Point2d bandPoint, int scale) const
{
    // Pixel i of a picture reduced by `scale` covers full pixels scale*i .. scale*(i+1) - 1.
    return {band.x + (bandPoint.x + 0.5) * scale - 0.5, band.y + (bandPoint.y + 0.5) * scale - 0.5};
}

namespace {

cv::Mat backgroundOf(const std::vector<cv::Mat> &before, cv::Size dilation)
{
    cv::Mat most = before.front().clone();
    for (size_t i = 1; i < before.size(); ++i)
        cv::max(most, before[i], most);
    // The waves sway the water's rows sideways by a pixel or two, and the movement is followed
    // to a fraction of a pixel: white seen that near before is not new.
    cv::dilate(most, most, cv::getStructuringElement(cv::MORPH_RECT, dilation));
    return most;
}

// The share of `piece`'s pixels that are whiter than `background` by `threshold` in `later`.
double stayingShare(const cv::Mat &later, const cv::Mat &background, const cv::Mat &piece,
                    double threshold)
{
    cv::Mat excess;
    cv::subtract(later, background, excess, cv::noArray(), CV_16S);
    const cv::Mat white = excess > threshold;
    const double inPiece = cv::countNonZero(piece);
    return inPiece > 0 ? cv::countNonZero(white & piece) / inPiece : 0.0;
}

// The pieces of new white in `picture` against `background`, with their excess.
struct NewWhite
{
    cv::Mat excess; // CV_16S
    cv::Mat labels;
    cv::Mat stats;
    cv::Mat centroids;
    int count = 0;
};

NewWhite newWhiteOf(const cv::Mat &picture, const cv::Mat &background, double threshold)
{
    NewWhite w;
    cv::subtract(picture, background, w.excess, cv::noArray(), CV_16S);
    const cv::Mat mask = w.excess > threshold;
    w.count = cv::connectedComponentsWithStats(mask, w.labels, w.stats, w.centroids, 8, CV_32S);
    return w;
}

cv::Mat whiterThan(const cv::Mat &picture, const cv::Mat &background, double threshold)
{
    cv::Mat excess;
    cv::subtract(picture, background, excess, cv::noArray(), CV_16S);
    return excess > threshold;
}

} // namespace

std::optional<std::pair<int, Spot>> ContactFinder::State::coarseFind(int fromFrame) const
{
    const int count = static_cast<int>(coarse.size());
    const double threshold = coarseThreshold();
    // Where the landing area is in the coarse pictures.
    cv::Mat inArea = cv::Mat::zeros(coarse.front().size(), CV_8U);
    std::vector<cv::Point> corners;
    for (const cv::Point2f &p : area)
        corners.emplace_back(static_cast<int>(std::lround((p.x - band.x + 0.5) / factor - 0.5)),
                             static_cast<int>(std::lround((p.y - band.y + 0.5) / factor - 0.5)));
    cv::fillConvexPoly(inArea, corners, cv::Scalar(255));
    const cv::Size box(kSprayBoxPixels, kSprayBoxPixels);
    for (int k = std::max(1, fromFrame); k + kSprayGrowFrames < count; ++k) {
        std::vector<cv::Mat> before;
        for (int j = std::max(0, k - kBackgroundFrames); j < k; ++j)
            before.push_back(coarseAt(j, k));
        const cv::Mat background = backgroundOf(before, cv::Size(3, 3));
        // White a little later that none of the frames before showed, where it stayed for two
        // frames: glints come and go, the skier moves on.
        cv::Mat fresh = whiterThan(coarseAt(k + kSprayGrowFrames, k), background, threshold) &
                        whiterThan(coarseAt(k + kSprayGrowFrames - 1, k), background,
                                   threshold / 2);
        if (cv::countNonZero(fresh) < kSprayBoxPixels)
            continue;
        // Spray covers a patch; the crest of a whitecap that the waves pushed a pixel on, or a
        // skier's head, is a line or a dot in it.
        cv::Mat density;
        cv::boxFilter(fresh, density, CV_32F, box, cv::Point(-1, -1), true);
        double most = 0.0;
        cv::Point where;
        cv::minMaxLoc(density, nullptr, &most, nullptr, &where, inArea);
        if (most >= kLeastSprayDensity * 255.0) {
            // How white this spray is: the first drops are to be as white, not the skier's
            // skin or a greyish patch.
            const cv::Rect patch = cv::Rect(where.x - kSprayBoxPixels / 2,
                                            where.y - kSprayBoxPixels / 2, kSprayBoxPixels,
                                            kSprayBoxPixels) &
                                   cv::Rect(0, 0, fresh.cols, fresh.rows);
            double white = 0.0;
            cv::minMaxLoc(coarseAt(k + kSprayGrowFrames, k)(patch), nullptr, &white, nullptr,
                          nullptr, fresh(patch));
            return std::make_pair(k, Spot{cv::Point2d(where), most / 255.0, white});
        }
    }
    return std::nullopt;
}

std::optional<std::pair<int, Spot>> ContactFinder::State::fineFind(int coarseFrame,
                                                                    cv::Point2d near,
                                                                    double sprayWhite) const
{
    const int count = static_cast<int>(fine.size());
    const int halfWidth = std::max(16, size.width() / 32);
    const int halfHeight = std::max(12, halfWidth * 3 / 4);
    const cv::Rect part =
        cv::Rect(static_cast<int>(std::lround(near.x)) - halfWidth,
                 static_cast<int>(std::lround(near.y)) - halfHeight, 2 * halfWidth + 1,
                 2 * halfHeight + 1) &
        cv::Rect(0, 0, band.width, band.height);
    if (part.width < 3 || part.height < 3)
        return std::nullopt;
    const double threshold = fineThreshold();
    const int last = std::min(coarseFrame + kSprayGrowFrames, count - 1 - kFineGrowFrames);
    for (int k = std::max(1, coarseFrame - 2); k <= last; ++k) {
        std::vector<cv::Mat> before;
        for (int j = std::max(0, k - kFineBackgroundFrames); j < k; ++j)
            before.push_back(fineAt(j, k, part));
        // Crests of whitecaps are thin and long: the camera's movement, followed to the whole
        // pixel, may leave one a pixel or two higher or lower than before.
        const cv::Mat background = backgroundOf(before, cv::Size(3, 5));
        // Spray spreads fast; what stands still is no spray.
        const cv::Mat grown = whiterThan(fineAt(k + kFineGrowFrames, k, part), background, threshold);
        const NewWhite white = newWhiteOf(fine[size_t(k)](part), background, threshold);
        cv::Mat staying = cv::Mat::zeros(white.labels.size(), CV_8U);
        for (int label = 1; label < white.count; ++label) {
            // A sun glint is a speck of a pixel or three; the first spray of even a small
            // splash is more.
            if (white.stats.at<int>(label, cv::CC_STAT_AREA) < kLeastFirstSprayPixels)
                continue;
            const cv::Mat piece = white.labels == label;
            double brightest = 0.0;
            cv::minMaxLoc(fine[size_t(k)](part), nullptr, &brightest, nullptr, nullptr, piece);
            if (brightest < kLeastShareOfSprayWhite * sprayWhite)
                continue;
            bool stays = true;
            for (int j = 1; j <= kFineStayFrames && stays; ++j)
                stays = stayingShare(fineAt(k + j, k, part), background, piece, threshold / 2) >=
                        kLeastStay;
            const cv::Rect box = cv::Rect(white.stats.at<int>(label, cv::CC_STAT_LEFT) - 10,
                                          white.stats.at<int>(label, cv::CC_STAT_TOP) - 10,
                                          white.stats.at<int>(label, cv::CC_STAT_WIDTH) + 20,
                                          white.stats.at<int>(label, cv::CC_STAT_HEIGHT) + 20) &
                                 cv::Rect(0, 0, part.width, part.height);
            if (stays && cv::countNonZero(grown(box)) >=
                             2 * white.stats.at<int>(label, cv::CC_STAT_AREA))
                staying |= piece;
        }
        if (cv::countNonZero(staying) == 0)
            continue;
        cv::Mat weight;
        white.excess.convertTo(weight, CV_32F);
        weight.setTo(0, ~staying);
        const cv::Moments m = cv::moments(weight, false);
        if (m.m00 <= 0)
            continue;
        const cv::Point2d centre(part.x + m.m10 / m.m00, part.y + m.m01 / m.m00);
        return std::make_pair(k, Spot{centre, double(cv::countNonZero(staying)),
                                      cv::mean(white.excess, staying)[0] / threshold});
    }
    return std::nullopt;
}

ContactFinder::ContactFinder(const Grid &grid, std::size_t mostKeptBytes)
    : m_state(std::make_unique<State>())
{
    m_state->grid = grid;
    m_state->mostKeptBytes = mostKeptBytes;
    m_state->tracker = std::make_unique<BuoyTracker>(grid);
}

ContactFinder::~ContactFinder() = default;

int ContactFinder::frameCount() const
{
    return static_cast<int>(m_state->fine.size()) + m_state->refused + m_state->notKept;
}

void ContactFinder::addFrame(const QImage &frame)
{
    State &s = *m_state;
    if (s.fine.empty() && s.refused == 0)
        s.start(frame.size());
    if (frame.isNull() || frame.size() != s.size || s.band.width < 8 || s.band.height < 8 ||
        s.refused > 0) {
        ++s.refused;
        return;
    }
    const std::size_t area = std::size_t(s.band.area());
    const std::size_t bytes = area + area / std::size_t(s.factor * s.factor);
    if (s.notKept > 0 || (!s.fine.empty() && s.keptBytes + bytes > s.mostKeptBytes)) {
        ++s.notKept;
        return;
    }
    s.keptBytes += bytes;
    cv::Mat white = whitenessOf(frame, s.band);
    cv::Mat small;
    cv::resize(white, small, cv::Size(), 1.0 / s.factor, 1.0 / s.factor, cv::INTER_AREA);
    // The camera turns smoothly: followed on every other frame, a frame between takes the
    // middle of its neighbours (the movement of the frame before until the next is known).
    if (s.fine.size() % 2 == 0) {
        const QPointF followed = s.tracker->follow(frame);
        const cv::Point2d moved(followed.x(), followed.y());
        if (s.moved.size() >= 2)
            s.moved.back() = (s.moved[s.moved.size() - 2] + moved) / 2.0;
        s.moved.push_back(moved);
    } else {
        s.moved.push_back(s.moved.back());
    }
    if (s.fine.size() == 1)
        s.noise = noiseOf(s.fine.front(), white);
    s.fine.push_back(std::move(white));
    s.coarse.push_back(std::move(small));
}

ContactFind ContactFinder::find() const
{
    const State &s = *m_state;
    ContactFind none;
    if (s.fine.empty() && (s.refused == 0 || s.size.isEmpty())) {
        none.reason = QStringLiteral("the recording has no pictures");
        return none;
    }
    if (s.fine.empty()) {
        none.reason = QStringLiteral("the grid's landing area is not in the picture");
        return none;
    }
    if (s.refused > 0) {
        none.reason = QStringLiteral("the pictures change size within the recording");
        return none;
    }
    if (s.fine.size() < size_t(2 + kSprayGrowFrames + kFineGrowFrames)) {
        none.reason = QStringLiteral("the recording is too short");
        return none;
    }
    // A patch of new white whose beginning the full pictures do not confirm is no spray (a
    // crest of a whitecap or the picture's edge moving with the camera): look on from the frame
    // after it.
    std::optional<std::pair<int, Spot>> fine;
    bool sprayShown = false;
    int from = 1;
    while (!fine) {
        const std::optional<std::pair<int, Spot>> coarse = s.coarseFind(from);
        if (!coarse)
            break;
        sprayShown = true;
        const QPointF coarsePoint = s.pictureOf(coarse->second.centre, s.factor);
        const cv::Point2d near(coarsePoint.x() - s.band.x, coarsePoint.y() - s.band.y);
        fine = s.fineFind(coarse->first, near, coarse->second.strength);
        from = coarse->first + 1;
    }
    if (!fine) {
        none.reason = sprayShown ? QStringLiteral("spray shows but not where it began")
                                 : QStringLiteral("no spray shows on the water in the landing area");
        return none;
    }
    ContactFind found;
    found.found = true;
    found.frame = fine->first;
    found.point = s.pictureOf(fine->second.centre, 1);
    found.confidence = std::clamp(fine->second.strength / 3.0, 0.0, 1.0);
    return found;
}

ContactFind findContact(const std::vector<QImage> &frames, const Grid &grid)
{
    ContactFinder finder(grid);
    for (const QImage &frame : frames)
        finder.addFrame(frame);
    return finder.find();
}

} // namespace skelvin
