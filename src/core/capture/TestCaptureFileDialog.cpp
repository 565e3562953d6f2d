#include "core/capture/TestCaptureFileDialog.h"

#include <QFileInfo>

namespace skelvin {

FileDialogRequest testCaptureFileRequest(const QString &fileText, const QString &videoDirectory,
                                         bool streams)
{
    const QFileInfo current(fileText);
    FileDialogRequest request;
    request.kind = FileDialogKind::Save;
    request.title = QStringLiteral("Capture File");
    request.startDirectory = current.isAbsolute() ? current.absolutePath() : videoDirectory;
    request.startFile = current.fileName();
    if (streams) {
        request.filters = parseFilterText(QStringLiteral("AVI Files|*.avi|"));
        request.defaultSuffix = QStringLiteral("avi");
    } else {
        request.filters = parseFilterText(
            QStringLiteral("All Supported Types|*.bmp;*.jpg;*.pic|BMP Files|*.bmp|JPEG "
                           "Files|*.jpg|Skelvin Pictures|*.pic|"));
        request.defaultSuffix = QStringLiteral("jpg");
    }
    return request;
}

} // namespace skelvin
