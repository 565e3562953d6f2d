#include "FuzzSupport.h"
#include "core/common/RtfReader.h"

#include <QGuiApplication>
#include <QTextDocument>

#ifndef SKELVIN_FUZZ_REGISTRY
// Documents want a GUI application for their fonts; the offscreen platform needs no display.
extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication application(*argc, *argv);
    return 0;
}
#endif

// Any bytes as the manual: the reader fills the document or gives an error text, nothing else.
SKELVIN_FUZZ_TARGET(rtf_fuzzer)
{
    QTextDocument document;
    (void)skelvin::RtfReader::read(skelvin::fuzz::bytes(data, size), document);
    return 0;
}
