#pragma once

#include <QList>
#include <QPointF>
#include <QString>

#include <optional>

namespace skelvin {

// The title of the system's own message boxes, and of those that name none.
inline const QString kApplicationTitle = QStringLiteral("Skelvin");

enum class MessageIcon { None, Critical, Question, Exclamation, Information };

enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };

enum class Answer { Ok, Cancel, Yes, No, Retry, Abort, Ignore };

// One modal message box: its text, title, icon, buttons and default button.
struct MessageRequest
{
    QString text;
    QString title;
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    std::optional<Answer> defaultAnswer; // the first button when not set
};

// One input box: prompt, title and the text it proposes.
struct InputRequest
{
    InputRequest() = default;
    InputRequest(QString promptText, QString titleText, QString proposed = QString(),
                 std::optional<QPointF> positionTwips = std::nullopt)
        : prompt(std::move(promptText)), title(std::move(titleText)), defaultText(std::move(proposed)),
          screenPositionTwips(positionTwips)
    {
    }

    QString prompt;
    QString title;
    QString defaultText;
    // Where the box stands, in twips from the screen's top-left corner; centred when not set.
    std::optional<QPointF> screenPositionTwips;
};

// A filter of a file dialog: its label ("Parameter Files (*.IPT)") and its patterns ("*.IPT").
struct FileFilter
{
    QString label;
    QString patterns;
};

// Open picks an existing file, Save names a file that may not exist yet, Folder picks a folder.
enum class FileDialogKind { Open, Save, Folder };

struct FileDialogRequest
{
    FileDialogKind kind = FileDialogKind::Open;
    QString title;
    QString startDirectory;
    QList<FileFilter> filters;
    int filterIndex = 1; // 1-based, as the filter lists count
    QString startFile;     // the name the dialog proposes, in startDirectory
    QString defaultSuffix; // added to a name typed without one ("jpg")
};

// Every modal interaction with the operator goes through one Prompter: the program shows Qt
// dialogs, the tests answer from a script.
class Prompter
{
public:
    virtual ~Prompter() = default;

    virtual Answer message(const MessageRequest &request) = 0;
    // The typed text, or nothing when the operator cancelled.
    virtual std::optional<QString> input(const InputRequest &request) = 0;
    // The chosen full path, or nothing when the operator cancelled.
    virtual std::optional<QString> chooseFile(const FileDialogRequest &request) = 0;

    // Shorthands for the common shapes.
    void inform(const QString &text, MessageIcon icon = MessageIcon::None,
                const QString &title = QString());
    bool askYesNo(const QString &text, const QString &title = QString(),
                  MessageIcon icon = MessageIcon::None,
                  std::optional<Answer> defaultAnswer = std::nullopt);
};

// Parses the filter text of the file dialogs ("All Files (*.*)|*.*|Text Files (*.TXT)|*.TXT|").
QList<FileFilter> parseFilterText(const QString &filterText);

} // namespace skelvin
