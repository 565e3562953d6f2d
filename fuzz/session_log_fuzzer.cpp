#include "FuzzSupport.h"
#include "core/logs/SessionLogListing.h"

// Any bytes as a session log, listed by both log viewers, every line clicked, and the longest
// line found for the scroll range.
SKELVIN_FUZZ_TARGET(session_log_fuzzer)
{
    using namespace skelvin;
    const QString path = fuzz::writeInput(QStringLiteral("JumpMeasurementLog.txt"), data, size);
    for (const QString &type : {SessionLogListing::kVideoType, SessionLogListing::kPictureType}) {
        SessionLogListing listing(type);
        listing.openAtStart(path);
        for (qsizetype row = 0; row < listing.lines().size(); ++row)
            listing.select(row);
        listing.select(listing.lines().size()); // past the end: nothing chosen
        (void)SessionLogListing::longestLine(listing.lines());
    }
    return 0;
}
