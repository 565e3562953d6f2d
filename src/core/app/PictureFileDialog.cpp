#include "core/app/PictureFileDialog.h"

#include "core/app/AppContext.h"

#include <QFileInfo>

namespace skelvin {

bool capturesFolderUsable(AppContext &context)
{
    const QString captures = context.tournament().capturesPath;
    if (captures.isEmpty() || QFileInfo(captures).isDir())
        return true;
    context.prompter().inform(QStringLiteral("Invalid path, change in configuration screen"),
                              MessageIcon::Exclamation);
    return false;
}

std::optional<QString> choosePictureFile(AppContext &context, int filterIndex)
{
    FileDialogRequest request;
    request.title = QStringLiteral("Load Picture");
    request.startDirectory = context.tournament().capturesPath;
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
