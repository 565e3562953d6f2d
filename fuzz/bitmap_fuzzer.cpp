#include "FuzzSupport.h"
#include "core/frames/cDIB.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>

// Any bytes as a bitmap file, then as a packed bitmap.
SKELVIN_FUZZ_TARGET(bitmap_fuzzer)
{
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), qsizetype(size));
    buffer.open(QIODevice::ReadOnly);
    skelvin::cDIB dib;
    if (dib.CreateFromDevice(buffer))
        (void)dib.fileBytes();
    skelvin::cDIB packed;
    (void)packed.CreateFromPackedDIBPointer(
        QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
