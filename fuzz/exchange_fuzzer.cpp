#include "FuzzSupport.h"
#include "core/measure/ExchangeFiles.h"

// Any bytes as the files the scoring program leaves for Skelvin: the skier's name file and the
// picture flag.
SKELVIN_FUZZ_TARGET(exchange_fuzzer)
{
    using namespace skelvin;
    const ExchangeFiles files(fuzz::workFolder());
    (void)fuzz::writeInput(ExchangeFiles::kSkierNameFile, data, size);
    (void)fuzz::writeInput(ExchangeFiles::kFlagFile, data, size);
    fuzz::SilentPrompter prompter;
    (void)files.readSkierName(prompter);
    (void)files.pictureReady();
    return 0;
}
