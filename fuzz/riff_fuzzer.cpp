#include "FuzzSupport.h"
#include "core/frames/RiffAviReader.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

// Any bytes as an AVI file: the reader gives facts or an error text, nothing else.
SKELVIN_FUZZ_TARGET(riff_fuzzer)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    skelvin::RiffAviReader reader(buffer);
    (void)reader.read();
    return 0;
}
