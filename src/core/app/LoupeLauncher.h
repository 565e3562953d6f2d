#pragma once

#include <QString>

namespace skelvin {

class Prompter;

// Starts the screen magnifier "Loupe/Loupe" of the application directory as a program of its
// own. When it is missing or does not start, the operator is told once per run, with the path.
class LoupeLauncher
{
public:
    LoupeLauncher(QString appDir, Prompter &prompter);

    QString programPath() const;
    bool start();

private:
    QString m_appDir;
    Prompter &m_prompter;
    bool m_failureShown = false;
};

} // namespace skelvin
