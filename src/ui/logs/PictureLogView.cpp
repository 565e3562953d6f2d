#include "ui/logs/PictureLogView.h"

#include "core/app/AppContext.h"
#include "core/logs/SessionLog.h"

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
    // A way back to the screen underneath without opening a picture.
    addExitButton(QStringLiteral("Exit Picture Log"));
}

void PictureLogView::view()
{
    const QString picture = fileToView();
    if (!picture.isEmpty())
        m_context.navigationTag = QStringLiteral("PictureLog");
    // The picture is measured again as the jump it was saved for, not as the attempt the
    // measure screen has moved on to.
    std::optional<VideoNameParts> jump;
    if (!picture.isEmpty() && picture == listing().chosenFile())
        jump = loggedJumpOf(listing().chosenLine());
    close();
    emit pictureChosen(picture, jump ? jump->skier : QString(), jump ? jump->jump : QString());
}

} // namespace skelvin
