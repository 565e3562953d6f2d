#pragma once

#include <QMainWindow>

#include <array>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace skelvin {

class AppContext;
class CapturePanel;

// The first screen and the hub: runs the start-up, keeps the video directory and leads to
// every other screen. Closing it ends the program.
class MainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainForm(AppContext &context, QWidget *parent = nullptr);

    // The start-up sequence, up to handing over to the configuration screen. False when the
    // operator gave up naming a video directory; the program then ends.
    bool startUp();

    // Shows the grid indicators (labels, status pictures, descriptions) of the shared state.
    void refreshGridIndicators();

    CapturePanel *capturePanel() const { return m_capturePanel; }
    // The capture screen stands beside the main screen (start-up places both).
    void setCaptureScreen(QWidget *screen) { m_captureScreen = screen; }

signals:
    // Import Skier Names read this first name for the capture screen.
    void skierNameImported(const QString &name);

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool confirmQuit();
    void buildControls();
    void placeWindows();
    bool videoDirectoryExists() const;
    bool refuseMissingVideoDirectory();

    void cmdGoCapture_Click();
    void cmdGoTimer_Click();
    void ccmdGoToMeasure_Click();
    void cmdImport_Click();
    void btnChangeDirectory_Click();
    void txtVideoDir_Change(const QString &text);
    void cb15_Click(bool checked);
    void cmdShowConfig_Click();
    void mnuExit_Click();

    AppContext &m_context;
    QGroupBox *m_frame1 = nullptr;
    QLineEdit *m_txtVideoDir = nullptr;
    QLabel *m_lblVideodir = nullptr;
    QLabel *m_lblConfig = nullptr;
    QCheckBox *m_cb15 = nullptr;
    std::array<QLabel *, 3> m_lblGrid{};
    std::array<QLabel *, 3> m_imageGrid{};
    std::array<QLineEdit *, 3> m_txtGridDescription{};
    CapturePanel *m_capturePanel = nullptr;
    QPushButton *m_cmdShowConfig = nullptr;
    QWidget *m_captureScreen = nullptr;
    bool m_quitting = false;
};

} // namespace skelvin
