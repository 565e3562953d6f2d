#pragma once

#include "core/common/Prompter.h"

#include <QList>
#include <QString>

#include <deque>
#include <variant>

namespace skelvin::test {

// One prompt as the operator saw it.
struct RecordedPrompt
{
    enum class Kind { Message, Input, File } kind = Kind::Message;
    QString text; // message text, input prompt or dialog title
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    std::optional<Answer> defaultAnswer;
    QString defaultText;
    FileDialogRequest file;
};

// A Prompter for tests: answers from a queue, records every prompt, and fails the running test
// on a prompt nobody queued an answer for (or of another kind than queued).
class ScriptedPrompter : public Prompter
{
public:
    ~ScriptedPrompter() override;

    // Queue answers, in the order the prompts will come.
    ScriptedPrompter &answer(Answer answer);
    ScriptedPrompter &type(const QString &text);  // an input box answered with text
    ScriptedPrompter &cancelInput();              // an input box cancelled
    ScriptedPrompter &choose(const QString &path); // a file dialog answered with a path
    ScriptedPrompter &cancelFile();                // a file dialog cancelled

    Answer message(const MessageRequest &request) override;
    std::optional<QString> input(const InputRequest &request) override;
    std::optional<QString> chooseFile(const FileDialogRequest &request) override;

    const QList<RecordedPrompt> &prompts() const { return m_prompts; }
    // The texts of every prompt so far, in order.
    QStringList texts() const;
    bool allAnswered() const { return m_queue.empty(); }
    void clear();

private:
    struct FileAnswer { std::optional<QString> path; };
    struct InputAnswer { std::optional<QString> text; };
    using Queued = std::variant<Answer, InputAnswer, FileAnswer>;

    std::deque<Queued> m_queue;
    QList<RecordedPrompt> m_prompts;
};

} // namespace skelvin::test
