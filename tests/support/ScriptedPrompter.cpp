#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

namespace skelvin::test {

ScriptedPrompter::~ScriptedPrompter()
{
    EXPECT_TRUE(m_queue.empty()) << m_queue.size() << " queued answer(s) were never asked for";
}

ScriptedPrompter &ScriptedPrompter::answer(Answer a)
{
    m_queue.emplace_back(a);
    return *this;
}

ScriptedPrompter &ScriptedPrompter::type(const QString &text)
{
    m_queue.emplace_back(InputAnswer{text});
    return *this;
}

ScriptedPrompter &ScriptedPrompter::cancelInput()
{
    m_queue.emplace_back(InputAnswer{std::nullopt});
    return *this;
}

ScriptedPrompter &ScriptedPrompter::choose(const QString &path)
{
    m_queue.emplace_back(FileAnswer{path});
    return *this;
}

ScriptedPrompter &ScriptedPrompter::cancelFile()
{
    m_queue.emplace_back(FileAnswer{std::nullopt});
    return *this;
}

Answer ScriptedPrompter::message(const MessageRequest &request)
{
    RecordedPrompt prompt;
    prompt.kind = RecordedPrompt::Kind::Message;
    prompt.text = request.text;
    prompt.title = request.title;
    prompt.icon = request.icon;
    prompt.buttons = request.buttons;
    prompt.defaultAnswer = request.defaultAnswer;
    m_prompts.append(prompt);

    if (m_queue.empty()) {
        // A plain OK box needs no scripted answer; anything that asks a question does.
        if (request.buttons == MessageButtons::Ok)
            return Answer::Ok;
        ADD_FAILURE() << "Unexpected question: " << request.text.toStdString();
        return Answer::Cancel;
    }
    if (!std::holds_alternative<Answer>(m_queue.front())) {
        if (request.buttons == MessageButtons::Ok)
            return Answer::Ok;
        ADD_FAILURE() << "A message came where another prompt was expected: "
                      << request.text.toStdString();
        return Answer::Cancel;
    }
    const Answer a = std::get<Answer>(m_queue.front());
    if (request.buttons == MessageButtons::Ok && a != Answer::Ok)
        return Answer::Ok; // the queued answer is for a later question
    m_queue.pop_front();
    return a;
}

std::optional<QString> ScriptedPrompter::input(const InputRequest &request)
{
    RecordedPrompt prompt;
    prompt.kind = RecordedPrompt::Kind::Input;
    prompt.text = request.prompt;
    prompt.title = request.title;
    prompt.defaultText = request.defaultText;
    m_prompts.append(prompt);

    if (m_queue.empty() || !std::holds_alternative<InputAnswer>(m_queue.front())) {
        ADD_FAILURE() << "Unexpected input box: " << request.prompt.toStdString();
        return std::nullopt;
    }
    const auto a = std::get<InputAnswer>(m_queue.front());
    m_queue.pop_front();
    return a.text;
}

std::optional<QString> ScriptedPrompter::chooseFile(const FileDialogRequest &request)
{
    RecordedPrompt prompt;
    prompt.kind = RecordedPrompt::Kind::File;
    prompt.text = request.title;
    prompt.file = request;
    m_prompts.append(prompt);

    if (m_queue.empty() || !std::holds_alternative<FileAnswer>(m_queue.front())) {
        ADD_FAILURE() << "Unexpected file dialog: " << request.title.toStdString();
        return std::nullopt;
    }
    const auto a = std::get<FileAnswer>(m_queue.front());
    m_queue.pop_front();
    return a.path;
}

QStringList ScriptedPrompter::texts() const
{
    QStringList result;
    for (const RecordedPrompt &p : m_prompts)
        result.append(p.text);
    return result;
}

void ScriptedPrompter::clear()
{
    m_queue.clear();
    m_prompts.clear();
}

} // namespace skelvin::test
