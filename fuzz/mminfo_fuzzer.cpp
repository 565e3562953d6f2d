#include "FuzzSupport.h"
#include "core/frames/mmInfo.h"

// Any bytes as a video file whose facts frame selection's Browse shows.
SKELVIN_FUZZ_TARGET(mminfo_fuzzer)
{
    using namespace skelvin;
    using namespace skelvin::mmInfo;
    const QString path = fuzz::writeInput(QStringLiteral("facts.avi"), data, size);
    fuzz::SilentPrompter prompter;
    AviFileInfo info;
    if (ReadAviFileInfo(path, &info, prompter)) {
        (void)frameRateOf(info);
        (void)fileInfoLines(path, info);
    }
    (void)IsAviFile(path, prompter);
    return 0;
}
