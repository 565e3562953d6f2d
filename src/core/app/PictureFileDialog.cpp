#include "core/app/PictureFileDialog.h"

#include "core/app/AppContext.h"

#include <QFileInfo>

namespace skelvin {

std::optional<QString> choosePictureFile(AppContext &context, int filterIndex)
{
    FileDialogRequest request;
    request.title = QStringLiteral("Load Picture");
    const QString captures = context.tournament().capturesPath;
    request.startDirectory = QFileInfo(captures).isDir() ? captures : context.videoDirectory;
    request.filters = parseFilterText(QStringLiteral(
        "All Files (*.*)|*.*|Text Files (*.txt)|*.txt|Jump Picture Files (*.gif)|*.gif|"
        "Jump Picture Files (*.bmp)|*.bmp|Jump Picture Files (*.jpg)|*.jpg|"));
    request.filterIndex = filterIndex;
    return context.prompter().chooseFile(request);
}

int pictureFilterIndex(const QString &pictureExtension)
{
    if (pictureExtension == QLatin1String(".gif"))
        return 3;
    if (pictureExtension == QLatin1String(".jpg"))
        return 5;
    return 4;
}

} // namespace skelvin
