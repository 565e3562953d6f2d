#pragma once

#include <QWidget>

class QPlainTextEdit;

namespace skelvin {

class AppContext;

// The results viewer: the day's results file, read-only, as it stood when the viewer was
// opened. Opened from the measure and capture screens' results menus; keeps no state of its own.
class Results : public QWidget
{
    Q_OBJECT

public:
    explicit Results(AppContext &context, QWidget *parent = nullptr);

    // Fills the viewer from the results file and shows it (not modal); the caption is the
    // results file path. Every opening reads the file again.
    void showResults();
    // Hides the viewer and empties it.
    void Exit_results_Click();

private:
    AppContext &m_context;
    QPlainTextEdit *m_outputBox = nullptr;
};

} // namespace skelvin
