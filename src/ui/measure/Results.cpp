#include "ui/measure/Results.h"

#include "core/app/AppContext.h"
#include "core/measure/ResultsViewerText.h"
#include "ui/common/Named.h"

#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QVBoxLayout>

namespace skelvin {

Results::Results(AppContext &context, QWidget *parent)
    : QWidget(parent, Qt::Window), m_context(context)
{
    setObjectName(QStringLiteral("Results"));
    m_outputBox = named(new QPlainTextEdit, "output_box");
    m_outputBox->setReadOnly(true);
    m_outputBox->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The results file lines up its columns with blanks.
    m_outputBox->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    auto *exitButton = named(new QPushButton(QStringLiteral("E&xit")), "Exit_results");
    connect(exitButton, &QPushButton::clicked, this, &Results::Exit_results_Click);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_outputBox);
    layout->addWidget(exitButton, 0, Qt::AlignRight);
    resize(900, 500);

    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &Results::Exit_results_Click);
}

void Results::showResults()
{
    m_outputBox->clear();
    const QString path = m_context.results().path();
    m_outputBox->setPlainText(resultsViewerText(path));
    // The newest lines, the jump just recorded among them, are at the end of the file.
    m_outputBox->moveCursor(QTextCursor::End);
    setWindowTitle(path);
    show();
    raise();
    activateWindow();
    m_outputBox->ensureCursorVisible();
    // Once the window has its size the last line may lie further down: show it then too.
    QTimer::singleShot(0, m_outputBox, [box = m_outputBox] { box->ensureCursorVisible(); });
}

void Results::Exit_results_Click()
{
    hide();
    m_outputBox->clear();
}

} // namespace skelvin
