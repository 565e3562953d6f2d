#include "FuzzSupport.h"
#include "core/frames/MeasuredSideFile.h"

// Any bytes as the side file of a kept video ("<video>.info").
SKELVIN_FUZZ_TARGET(side_file_fuzzer)
{
    using namespace skelvin;
    const QString video = fuzz::workFolder() + QStringLiteral("/Jane Doejump2.avi");
    (void)fuzz::writeInput(QStringLiteral("Jane Doejump2.avi.info"), data, size);
    if (const auto frame = MeasuredSideFile::measuredFrame(video)) {
        (void)MeasuredSideFile::contactWarning(*frame);
        (void)MeasuredSideFile::startWarning(*frame);
    }
    return 0;
}
