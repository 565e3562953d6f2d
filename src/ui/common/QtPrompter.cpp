#include "ui/common/QtPrompter.h"

#include <QApplication>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace skelvin {

namespace {

QMessageBox::StandardButton standardButton(Answer answer)
{
    switch (answer) {
    case Answer::Ok: return QMessageBox::Ok;
    case Answer::Cancel: return QMessageBox::Cancel;
    case Answer::Yes: return QMessageBox::Yes;
    case Answer::No: return QMessageBox::No;
    case Answer::Retry: return QMessageBox::Retry;
    case Answer::Abort: return QMessageBox::Abort;
    case Answer::Ignore: return QMessageBox::Ignore;
    }
    return QMessageBox::Ok;
}

Answer answerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes: return Answer::Yes;
    case QMessageBox::No: return Answer::No;
    case QMessageBox::Cancel: return Answer::Cancel;
    case QMessageBox::Retry: return Answer::Retry;
    case QMessageBox::Abort: return Answer::Abort;
    case QMessageBox::Ignore: return Answer::Ignore;
    default: return Answer::Ok;
    }
}

QList<Answer> buttonsOf(MessageButtons buttons)
{
    switch (buttons) {
    case MessageButtons::Ok: return {Answer::Ok};
    case MessageButtons::OkCancel: return {Answer::Ok, Answer::Cancel};
    case MessageButtons::YesNo: return {Answer::Yes, Answer::No};
    case MessageButtons::YesNoCancel: return {Answer::Yes, Answer::No, Answer::Cancel};
    case MessageButtons::RetryCancel: return {Answer::Retry, Answer::Cancel};
    case MessageButtons::AbortRetryIgnore: return {Answer::Abort, Answer::Retry, Answer::Ignore};
    }
    return {Answer::Ok};
}

QMessageBox::Icon iconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Critical: return QMessageBox::Critical;
    case MessageIcon::Question: return QMessageBox::Question;
    case MessageIcon::Exclamation: return QMessageBox::Warning;
    case MessageIcon::Information: return QMessageBox::Information;
    case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QWidget *QtPrompter::parentWindow()
{
    return QApplication::activeWindow();
}

Answer QtPrompter::message(const MessageRequest &request)
{
    QMessageBox box(parentWindow());
    box.setIcon(iconOf(request.icon));
    // A box without a title shows the program's name, as the operator expects.
    box.setWindowTitle(request.title.isEmpty() ? kApplicationTitle : request.title);
    box.setText(request.text);
    QMessageBox::StandardButtons buttons;
    const QList<Answer> answers = buttonsOf(request.buttons);
    for (Answer a : answers)
        buttons |= standardButton(a);
    box.setStandardButtons(buttons);
    box.setDefaultButton(standardButton(request.defaultAnswer.value_or(answers.first())));
    return answerOf(box.exec());
}

std::optional<QString> QtPrompter::input(const InputRequest &request)
{
    QInputDialog dialog(parentWindow());
    dialog.setWindowTitle(request.title.isEmpty() ? kApplicationTitle : request.title);
    dialog.setLabelText(request.prompt);
    dialog.setTextValue(request.defaultText);
    if (request.screenPositionTwips)
        dialog.move((*request.screenPositionTwips / 15).toPoint());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

QString QtPrompter::qtFilterText(const QList<FileFilter> &filters)
{
    QStringList parts;
    for (const FileFilter &f : filters) {
        QString patterns = f.patterns;
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // The labels already name their patterns ("Text Files (*.TXT)"); Qt reads the patterns
        // from the last parentheses, so a label without them gets its own.
        parts << (f.label.contains(QLatin1Char('(')) ? f.label
                                                     : f.label + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return parts.join(QStringLiteral(";;"));
}

std::optional<QString> QtPrompter::chooseFile(const FileDialogRequest &request)
{
    QFileDialog dialog(parentWindow(), request.title, request.startDirectory);
    dialog.setAcceptMode(request.kind == FileDialogKind::Save ? QFileDialog::AcceptSave
                                                              : QFileDialog::AcceptOpen);
    // Saving accepts a name that does not exist yet; opening wants an existing file unless the
    // dialog is used to name a new file.
    dialog.setFileMode(request.kind == FileDialogKind::Save ? QFileDialog::AnyFile
                                                            : QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (!request.startFile.isEmpty())
        dialog.selectFile(request.startFile);
    if (!request.defaultSuffix.isEmpty())
        dialog.setDefaultSuffix(request.defaultSuffix);
    if (request.kind == FileDialogKind::Folder) {
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
    }
    const QString filterText = qtFilterText(request.filters);
    if (!filterText.isEmpty()) {
        dialog.setNameFilter(filterText);
        const QStringList names = filterText.split(QStringLiteral(";;"));
        const int index = request.filterIndex - 1;
        if (index >= 0 && index < names.size())
            dialog.selectNameFilter(names[index]);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

} // namespace skelvin
