#pragma once

#include "ui/logs/SessionLogViewer.h"

namespace skelvin {

// The video log viewer: the kept jump videos named in a session log; one of them is reopened on
// the frame selection screen.
class LogView : public SessionLogViewer
{
    Q_OBJECT

public:
    LogView(AppContext &context, QWidget *owner = nullptr);

    // With a video chosen: hands it to frame selection (navigation tag "View") and closes.
    void view() override;

signals:
    // The viewer has closed; frame selection is to show the video handed over.
    void videoChosen();
};

} // namespace skelvin
