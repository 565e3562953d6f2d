#include "ui/logs/LogView.h"

#include "core/app/AppContext.h"

namespace skelvin {

LogView::LogView(AppContext &context, QWidget *owner)
    : SessionLogViewer(
          context, SessionLogListing::kVideoType,
          {"txtLogFile", "lstLog", "txtFileToView", "cmdSelectLogFile",
           QStringLiteral("Select Different Log File"), "cmdView",
           QStringLiteral("View Selected File"),
           QStringLiteral("Click to Select and use View Selected File button to View or Double "
                          "Click to view")},
          owner)
{
    setObjectName(QStringLiteral("LogView"));
    setWindowTitle(QStringLiteral("Log Viewer"));
    addExitButton(QStringLiteral("Exit Log Viewer"));
}

void LogView::view()
{
    const QString video = fileToView();
    if (video.isEmpty())
        return;
    m_context.navigationTag = QStringLiteral("View");
    m_context.handOver.viewFileName = video;
    close();
    emit videoChosen();
}

} // namespace skelvin
