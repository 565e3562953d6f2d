#include "core/common/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>

// Documents want a GUI application for their fonts; the offscreen platform needs no display.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}

// Any bytes as the manual: the reader fills the document or gives an error text, nothing else.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QTextDocument document;
    (void)skelvin::RtfReader::read(
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)), document);
    return 0;
}
