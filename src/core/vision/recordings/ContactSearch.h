#pragma once

#include "core/geometry/Grid.h"
#include "core/vision/ContactFinder.h"

#include <QString>

#include <functional>

namespace skelvin {

// The first contact searched in a recording on disk: its frames read in order with the
// program's own frame reader and handed to a ContactFinder.
struct ContactSearch
{
    ContactFind find;
    int frames = 0;        // how many frames were read
    double searchMs = 0.0; // reading and searching, wall time
    // Searched while the recording was made: `searchMs` is then the time from its close.
    bool whileRecording = false;
};

// A file that does not open or a frame that does not decode is "not found" with the reason.
// `cancelled`, when given, is asked before every frame: true stops the search, not found.
ContactSearch searchContact(const QString &videoPath, const Grid &grid,
                            const std::function<bool()> &cancelled = {});

// What frame selection says of the search: while it runs, the frame it suggests (and the
// frame Contact was pressed at, when it was: -1 when not), or that none is suggested and why.
QString contactSearchingText();
QString contactSuggestionText(const ContactFind &find, int pressedFrame);

} // namespace skelvin
