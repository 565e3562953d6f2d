#include "core/app/LoupeLauncher.h"

#include "core/common/Paths.h"
#include "core/common/Prompter.h"

#include <QFileInfo>
#include <QProcess>

namespace skelvin {

LoupeLauncher::LoupeLauncher(QString appDir, Prompter &prompter)
    : m_appDir(std::move(appDir)), m_prompter(prompter)
{
}

QString LoupeLauncher::programPath() const
{
    return joinPath(m_appDir, QStringLiteral("Loupe/Loupe"));
}

bool LoupeLauncher::start()
{
    const QString program = programPath();
    const QFileInfo info(program);
    QString problem;
    if (!info.exists())
        problem = QStringLiteral("The screen loupe was not found at %1.").arg(program);
    else if (!info.isExecutable() || !QProcess::startDetached(program, {}, info.absolutePath()))
        problem = QStringLiteral("The screen loupe at %1 could not be started.").arg(program);
    if (problem.isEmpty())
        return true;
    if (!m_failureShown) {
        m_failureShown = true;
        m_prompter.inform(problem, MessageIcon::Exclamation, QStringLiteral("Screen Loupe"));
    }
    return false;
}

} // namespace skelvin
