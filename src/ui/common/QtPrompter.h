#pragma once

#include "core/common/Prompter.h"

class QWidget;

namespace skelvin {

// The program's Prompter: Qt message boxes, input dialogs and file dialogs, modal over the
// active window.
class QtPrompter : public Prompter
{
public:
    Answer message(const MessageRequest &request) override;
    std::optional<QString> input(const InputRequest &request) override;
    std::optional<QString> chooseFile(const FileDialogRequest &request) override;

    // The filter text Qt's file dialog takes for these filters ("Label (patterns);;...").
    static QString qtFilterText(const QList<FileFilter> &filters);

private:
    static QWidget *parentWindow();
};

} // namespace skelvin
