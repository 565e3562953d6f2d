#pragma once

#include "core/common/ArrowKeyState.h"
#include "core/frames/LeadUpPlayback.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTimer;

namespace skelvin {

class AppContext;
class ContactSearchJob;
struct ContactSearch;
class FramePlayer;

// The frame selection screen: one recorded video, stepped frame by frame to the moment of first
// contact, with a lead-up playback of the seconds before it. The displayed frame becomes the
// measured frame of the jump and its picture goes to the measure or grid setup screen. Reached
// after every recording, from the video log viewer, and without a file (then the operator
// browses for one).
class frmSetStart : public QWidget
{
    Q_OBJECT

public:
    explicit frmSetStart(AppContext &context, QWidget *parent = nullptr);
    ~frmSetStart() override;

    FramePlayer &player() const { return *m_player; }
    int startFrame() const { return m_startFrame; }
    bool startFixed() const { return m_startFixed; }
    bool viewDone() const { return m_viewDone; }
    bool leadUpPlaying() const { return m_leadUp.playing(); }

    // What the screen does each time it comes to the front (the hand-over of the navigation
    // tag); public so that a test can paint it again.
    void Form_Paint();
    // The measure screen's next jump takes the video away before it is kept or erased.
    void releaseVideo();

    void Command6_Click();
    void Command1_Click();
    void Command4_Click();
    void Command5_Click();
    void cmdMarkStart_Click();
    void btnGoToSetup_Click();
    void cmdGoToCapture_Click();
    void cmdGoToSetup_Click();
    void cmdViewLog_Click();
    // To the first contact the search suggested (the key G does the same).
    void cmdGoToSuggested_Click();
    int suggestedFrame() const { return m_suggestedFrame; }

signals:
    // A recording was moved to the skier's right name: the capture screen takes the name and
    // its next attempt, the measure screen the name and the recording's jump number.
    void skierNameSettled(const QString &skierName, const QString &nextAttempt);
    void skierForMeasure(const QString &skierName, const QString &jumpNo);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QWidget *buildPanel();
    void Form_Load();
    void afterRecording();
    void resolveSkierName();
    void viewFile();
    void showDiskSpace();
    bool loadIntoPlayer(const QString &path);
    void setChoosingEnabled(bool on);
    void chooseFrame();
    void Timer1_Timer();
    void Timer2_Timer();
    void leaveFor(bool capture);
    double frameRate() const;
    bool keyOnThisScreen(QObject *watched) const;
    void startContactSearch();
    void forgetSuggestion();
    void contactSearched(const QString &videoPath, const ContactSearch &search);

    AppContext &m_context;
    FramePlayer *m_player = nullptr;
    LeadUpPlayback m_leadUp;
    ArrowKeyState m_arrows;

    int m_startFrame = 0;
    double m_frameRate = 0;
    int m_lengthFrames = 0;
    bool m_startFixed = false;
    bool m_viewDone = false;
    bool m_gridSetupRequested = false;
    ContactSearchJob *m_contactSearch = nullptr;
    int m_suggestedFrame = -1; // of the recording shown, -1 while none
    int m_pressedFrame = -1;   // where Contact was pressed, -1 when it was not
    int m_openedAt = -1;       // where the recording opened: the operator has not stepped yet

    QLineEdit *m_text6 = nullptr;
    QPushButton *m_command6 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_command4 = nullptr;
    QLineEdit *m_text9 = nullptr;
    QPushButton *m_command5 = nullptr;
    QLineEdit *m_text4 = nullptr;
    QLineEdit *m_text5 = nullptr;
    QLineEdit *m_txtStartLoop = nullptr;
    QCheckBox *m_cbFullScreen = nullptr;
    QComboBox *m_cboZoom = nullptr;
    QPushButton *m_cmdMarkStart = nullptr;
    QPushButton *m_btnGoToSetup = nullptr;
    QListWidget *m_lstFileInfo = nullptr;
    QLabel *m_label5 = nullptr;
    QLabel *m_lblSuggested = nullptr;
    QPushButton *m_cmdGoToSuggested = nullptr;
    QLabel *m_label9 = nullptr;
    QLabel *m_label10 = nullptr;
    QLabel *m_lblDiskSpace = nullptr;
    QLabel *m_label11 = nullptr;
    QLabel *m_lblKeyDown = nullptr;
    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QTimer *m_timer1 = nullptr;
    QTimer *m_timer2 = nullptr;
};

} // namespace skelvin
