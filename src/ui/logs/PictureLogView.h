#pragma once

#include "ui/logs/SessionLogViewer.h"

namespace skelvin {

// The picture log viewer: the saved contact pictures named in a session log; one of them is put
// back on the measure screen.
class PictureLogView : public SessionLogViewer
{
    Q_OBJECT

public:
    PictureLogView(AppContext &context, QWidget *owner = nullptr);

    // Closes and goes to the measure screen, with the chosen picture when there is one
    // (navigation tag "PictureLog").
    void view() override;

signals:
    // The viewer has closed; the measure screen is to show this picture (none when empty)
    // under the skier and attempt of its log line (empty when the line names none).
    void pictureChosen(const QString &picturePath, const QString &skier, const QString &attempt);
};

} // namespace skelvin
