#include "tool/ToolCommands.h"

#include <QGuiApplication>

#include <cstring>
#include <memory>

int main(int argc, char *argv[])
{
    // The accuracy map's legend is drawn with fonts, which need a GUI application; it opens
    // no window, so it needs no display either.
    const bool drawsText = argc > 1 && std::strcmp(argv[1], "accuracy-map") == 0;
    if (drawsText && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    const std::unique_ptr<QCoreApplication> app(drawsText ? new QGuiApplication(argc, argv)
                                                          : new QCoreApplication(argc, argv));
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return skelvin::tool::run(args);
}
