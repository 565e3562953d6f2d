#pragma once

#include <QWidget>

class QLabel;
class QPushButton;
class QTextBrowser;

namespace skelvin {

class AppContext;

// The manual screen: the operating manual "DE05Manual.rtf" from the application directory,
// read-only. Opened from the main screen's "View &Manual", which hides the main screen; "Done"
// hides the manual and shows the main screen again. The text is read the first time the screen
// is shown and kept from then on.
class frmManual : public QWidget
{
    Q_OBJECT

public:
    static constexpr const char *kManualFile = "DE05Manual.rtf";

    explicit frmManual(AppContext &context, QWidget *parent = nullptr);

    // Reads the manual into RichTextBox1; a manual that cannot be read is named in a plain
    // message in the box instead.
    void Form_Load();
    void cmdDone_Click();

    // Whether the manual's text (not a message about it) is in the box.
    bool manualShown() const { return m_loaded; }

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Keeps the lines of text at a readable length on a wide monitor, centred in the box.
    void fitTextColumn();

    AppContext &m_context;
    QLabel *m_title = nullptr;
    QTextBrowser *m_richTextBox = nullptr;
    QPushButton *m_done = nullptr;
    bool m_loaded = false;
};

} // namespace skelvin
