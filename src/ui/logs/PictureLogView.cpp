#include "ui/logs/PictureLogView.h"

#include "core/app/AppContext.h"

namespace skelvin {

PictureLogView::PictureLogView(AppContext &context, QWidget *owner)
    : SessionLogViewer(
          context, SessionLogListing::kPictureType,
          {"txtPicLogToView", "lstPicLog", "txtPictureToView", "cmdSelPicLog",
           QStringLiteral("Select a Log File"), "cmdViewPicLog", QStringLiteral("View Picture"),
           QStringLiteral("Click to Select and use View Picture button to View or Double Click "
                          "to view")},
          owner)
{
    setObjectName(QStringLiteral("PictureLogView"));
    setWindowTitle(QStringLiteral("Contact Picture Log"));
}

void PictureLogView::view()
{
    const QString picture = fileToView();
    if (!picture.isEmpty())
        m_context.navigationTag = QStringLiteral("PictureLog");
    close();
    emit pictureChosen(picture);
}

} // namespace skelvin
