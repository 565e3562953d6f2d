#include "FuzzSupport.h"
#include "core/common/SkierNamesFile.h"

// Any bytes as the skier names file, read for the skier list and for the capture screen.
SKELVIN_FUZZ_TARGET(skier_names_fuzzer)
{
    using namespace skelvin;
    const QString path = fuzz::writeInput(SkierNamesFile::kFileName, data, size);
    (void)SkierNamesFile::readNames(path);
    (void)SkierNamesFile::firstName(path);
    return 0;
}
