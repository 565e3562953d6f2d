#pragma once

#include "core/logs/SessionLogListing.h"

#include <QWidget>

class QHBoxLayout;
class QLineEdit;

namespace skelvin {

class AppContext;
class LogList;

// What the two log viewers share: the path of the log shown, the list of the lines naming one
// type of file, the path of the file picked from it, and the button that picks another log.
// Each viewer names its controls and says what viewing a file does. A viewer opens on top of
// the screen that owns it, without blocking it, and is deleted when it closes, so every
// opening starts afresh from the day's session log.
class SessionLogViewer : public QWidget
{
    Q_OBJECT

public:
    // The names and captions of one viewer's controls.
    struct Controls
    {
        const char *logBox;
        const char *list;
        const char *fileBox;
        const char *chooseButton;
        QString chooseCaption;
        const char *viewButton;
        QString viewCaption;
        QString instruction;
    };

    const SessionLogListing &listing() const { return m_listing; }

    // Picks another log with the log dialog and lists it.
    void chooseLogFile();
    // A click on a line: the path it names goes into the file box (emptied without "File:").
    void lineClicked(int row);
    // Opens the file in the file box as the viewer does.
    virtual void view() = 0;

protected:
    SessionLogViewer(AppContext &context, const QString &type, const Controls &controls,
                     QWidget *owner);

    QString fileToView() const;
    QHBoxLayout *buttonRow() const { return m_buttons; }
    // A button that closes the viewer and does nothing else ("cmdDismiss").
    void addExitButton(const QString &caption);

    AppContext &m_context;

private:
    void showListing();

    SessionLogListing m_listing;
    QLineEdit *m_logBox = nullptr;
    LogList *m_list = nullptr;
    QLineEdit *m_fileBox = nullptr;
    QHBoxLayout *m_buttons = nullptr;
};

} // namespace skelvin
