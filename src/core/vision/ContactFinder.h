#pragma once

#include "core/geometry/Grid.h"

#include <QImage>
#include <QPointF>
#include <QSize>
#include <QString>

#include <memory>
#include <vector>

namespace skelvin {

// The first contact of a jump as found in its recording: the first frame in which the skier
// meets the water inside the grid's landing area, and where in that frame's picture.
struct ContactFind
{
    bool found = false;
    int frame = -1;          // counted from 0, as frame selection counts
    QPointF point;           // pixels, the centre of pixel i is i, in the picture of `frame`
    double confidence = 0.0; // 0 to 1: how clearly the spray stands out and stays
    QString reason;          // why nothing was found, in words the operator can act on
};

// Finds the first contact in the frames of one recording, fed in order from frame 0.
//
// A landing throws up spray: white that was not on the water before, at one place, that stays
// there and grows over the frames after. The finder looks for exactly that, inside the landing
// area the grid's four corner buoys span (and a little above it, where spray flies):
//  - every picture is cut to the landing area's rows and columns and reduced to its whiteness
//    (the least of red, green and blue: high only for white and light grey, low for the blue
//    of the water, the skier's coloured suit and skis, and the orange buoys);
//  - the camera's movement is followed by the grid's buoys (BuoyTracker), so spray is compared
//    with the same water in earlier frames;
//  - coarse (about 640 pixels across): white that a frame a third of a second later shows and
//    none of the frames before showed (whitecaps, glints seen before and the ramp are not new),
//    covering a patch of the landing area as spray does, not a line or a dot;
//  - fine (full resolution, around the spray): the first frame from a few before the coarse
//    find whose new white stays is the contact frame, the centre of that white the point.
// Sun glints and the skier's own movement are new white too, but never stay in one place; a
// pass without a jump throws up no spray. When no spray is seen, the answer is "not found":
// a wrong suggestion would cost the operator more than none.
class ContactFinder
{
public:
    // What the finder keeps of the frames (the landing area's whiteness, whole and coarse) is
    // bounded: a recording longer than a jump's few seconds (a capture time stored far above
    // the usual) is searched over its first frames only, those that fit.
    static constexpr std::size_t kMostKeptBytes = std::size_t(768) << 20;

    explicit ContactFinder(const Grid &grid, std::size_t mostKeptBytes = kMostKeptBytes);
    ~ContactFinder();
    ContactFinder(const ContactFinder &) = delete;
    ContactFinder &operator=(const ContactFinder &) = delete;

    // The next frame of the recording. Frames of another size than the first are refused
    // (they are counted, and the find says so).
    void addFrame(const QImage &frame);
    int frameCount() const;

    // What the frames fed so far show.
    ContactFind find() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// The same over frames held in memory.
ContactFind findContact(const std::vector<QImage> &frames, const Grid &grid);

} // namespace skelvin
