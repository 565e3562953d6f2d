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

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void fillCaptureControls();
    bool videoDirectoryExists() const;
    bool refuseMissingVideoDirectory();

    void cmdGoCapture_Click();
    void cmdGoTimer_Click();
    void ccmdGoToMeasure_Click();
    void cmdImport_Click();
    void btnChangeDirectory_Click();
    void txtVideoDir_Change(const QString &text);
    void cb15_Click(bool checked);
    void EdtRate_Change(const QString &text);
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
    QGroupBox *m_captureConfig = nullptr;
    QComboBox *m_combo1 = nullptr;
    QComboBox *m_compressionCombo = nullptr;
    QLineEdit *m_edtRate = nullptr;
    QLineEdit *m_edtLimit = nullptr;
    QLineEdit *m_edtFile = nullptr;
    QLabel *m_lblStatus = nullptr;
    bool m_quitting = false;
};

} // namespace skelvin
