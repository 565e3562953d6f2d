#include "core/common/Prompter.h"

#include <QStringList>

namespace skelvin {

void Prompter::inform(const QString &text, MessageIcon icon, const QString &title)
{
    message({text, title, icon, MessageButtons::Ok, std::nullopt});
}

bool Prompter::askYesNo(const QString &text, const QString &title, MessageIcon icon,
                        std::optional<Answer> defaultAnswer)
{
    return message({text, title, icon, MessageButtons::YesNo, defaultAnswer}) == Answer::Yes;
}

QList<FileFilter> parseFilterText(const QString &filterText)
{
    const QStringList parts = filterText.split(QLatin1Char('|'));
    QList<FileFilter> filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].isEmpty() && parts[i + 1].isEmpty())
            continue;
        filters.append({parts[i], parts[i + 1]});
    }
    return filters;
}

} // namespace skelvin
