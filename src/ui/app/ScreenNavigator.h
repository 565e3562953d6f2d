#pragma once

#include "core/app/Navigator.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace skelvin {

class Prompter;

// Brings screens to the front. Full screens hide the main screen while they are in front and
// the way back shows it again; the log viewers open on top of the main screen. A screen that is
// not part of this build yet is refused with a plain message and the operator stays where he is.
class ScreenNavigator : public QObject, public Navigator
{
    Q_OBJECT

public:
    explicit ScreenNavigator(Prompter &prompter);

    // `open` shows the screen when it needs more than show() (a viewer that refills itself).
    void registerScreen(ScreenId id, QWidget *screen, std::function<void()> open = {});
    // A viewer made afresh at every opening (the one open before is closed), owned by the full
    // screen in front; it deletes itself when closed.
    using ViewerFactory = std::function<QWidget *(QWidget *owner)>;
    void registerViewer(ScreenId id, ViewerFactory make);
    QWidget *screen(ScreenId id) const;

    void show(ScreenId id) override;
    void hide(ScreenId id) override;

    static bool isViewer(ScreenId id);

protected:
    // A full screen closed by its window frame goes back to the main screen, so the operator is
    // never left without a window.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Whether any full screen, the main screen included, is in front.
    bool fullScreenShown() const;
    // The full screen in front, or none.
    QWidget *frontScreen() const;

    Prompter &m_prompter;
    QHash<int, QPointer<QWidget>> m_screens;
    QHash<int, std::function<void()>> m_openers;
    QHash<int, ViewerFactory> m_viewerFactories;
};

} // namespace skelvin
