#pragma once

#include "core/capture/shared/CaptureTypes.h"

#include <QMainWindow>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace skelvin {

class AppContext;
class PreviewView;

// The capture screen: the live picture, the skier's name and attempt, and the recording of one
// jump under a name built from them. Start Recording as the skier reaches the ramp, Contact at
// first contact; the recording stops by itself after the capture time (or on Stop Recording or
// Esc) and frame selection opens with the file, its frame count and rate and the contact frame.
class PreviewForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit PreviewForm(AppContext &context, QWidget *parent = nullptr);
    ~PreviewForm() override;

    // The skier list and the skier names import put a name here.
    void setSkierName(const QString &name);
    bool recording() const;
    // Frame selection settled the name of a recording whose skier's name had been changed:
    // the warning goes, the name and the next attempt take the values given.
    void nameSettled(const QString &skierName, const QString &attemptText);

    void cmdStartCapture_Click();
    void cmdStartTimer_Click();
    void cmdEndCapture_Click();
    void btnCaptureFrame_Click();
    void btnGetName_Click();
    void cmdSelect_Click();
    void cmdGoToTimer_Click();
    void cmdGoSetup_Click();
    // The capture panel's Time Limit, which a jump's recording does not follow: the screen
    // says so when it is the shorter.
    void setPanelTimeLimit(int seconds);

signals:
    // The measure screen's skier name and jump number boxes take these.
    void skierForMeasure(const QString &skierName, const QString &jumpNo);
    void skierNameForMeasure(const QString &skierName);
    // The main screen's panel pushes its values into the control / shows the statistics.
    void captureValuesNeeded();
    void statisticsChanged();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void showTimeLimitWarning();
    void firstPaint();
    void txtSkierName_Change(const QString &text);
    void captureTimeValue_Click(int index);
    void Timer40_Timer();
    void escapePressed();
    void recordingEndedBySelf(RecordingEnd how, const QString &why);
    void endTimedRecording();
    void showCounters();
    void showIdle();
    void stopRecording(bool moveOn);
    void openSkierList();
    void setContactToHalfway();
    QString videoPath() const;

    AppContext &m_context;
    PreviewView *m_preview = nullptr;
    QLineEdit *m_txtSkierName = nullptr;
    QLineEdit *m_txtPass = nullptr;
    QComboBox *m_captureTimeValue = nullptr;
    QLabel *m_captime = nullptr;
    QLabel *m_lblStartFrame = nullptr;
    QLabel *m_lblFrame = nullptr;
    QLabel *m_lblFrmDrop = nullptr;
    QLabel *m_label4 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QPushButton *m_cmdStartCapture = nullptr;
    QPushButton *m_cmdStartTimer = nullptr;
    QPushButton *m_cmdEndCapture = nullptr;
    QPushButton *m_btnCaptureFrame = nullptr;
    QPushButton *m_cmdGoToTimer = nullptr;
    QPushButton *m_cmdGoSetup = nullptr;
    QTimer *m_timer40 = nullptr;

    double m_captureSeconds = 5.0;
    int m_panelTimeLimit = 0;
    QLabel *m_lblTimeLimit = nullptr;
    QLabel *m_lblWriting = nullptr;
    double m_secondsLeft = 0;        // of the countdown; below 0 while the last frames come
    QString m_captureFileName;
    bool m_loaded = false;
    bool m_painted = false;
};

} // namespace skelvin
