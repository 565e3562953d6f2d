#include "core/measure/LeavingSteps.h"

#include "core/common/JumpHandOver.h"
#include "core/common/Prompter.h"

namespace skelvin {

const QString LeavingSteps::kSaveQuestion = QStringLiteral("Do you want to save this picture?");
const QString LeavingSteps::kStayQuestion =
    QStringLiteral("Do you want to remain on this form?");

LeavingSteps::LeavingSteps(Services services) : m_services(std::move(services)) {}

bool LeavingSteps::toNextJump(const Shown &shown)
{
    PictureKeeper &keeper = m_services.keeper;
    if (!shown.fromFrameSelection) {
        if (m_services.prompter.askYesNo(kSaveQuestion))
            keeper.SavePict(shown.state, shown.picture, shown.isFramePicture);
        if (m_services.prompter.askYesNo(kStayQuestion))
            return false;
    } else {
        keeper.applyPicturePolicy(shown.state, shown.picture, shown.isFramePicture);
    }
    settleVideo();
    return true;
}

void LeavingSteps::toMainScreen(const Shown &shown)
{
    if (!shown.fromFrameSelection)
        return;
    m_services.keeper.applyPicturePolicy(shown.state, shown.picture, shown.isFramePicture);
    if (shown.jumpRecorded)
        settleVideo();
}

void LeavingSteps::settleVideo()
{
    if (m_services.releaseVideo)
        m_services.releaseVideo();
    m_services.keeper.applyVideoPolicy();
    m_services.handOver.forgetMeasuredVideo();
}

} // namespace skelvin
