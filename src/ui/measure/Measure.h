#pragma once

#include "core/geometry/Grid.h"
#include "core/measure/LeavingSteps.h"
#include "core/measure/MeasureState.h"
#include "ui/measure/MeasureControls.h"

#include <QWidget>

#include <optional>

class QLabel;
class QRadioButton;
class QTimer;

namespace skelvin {

class AccuracyMapSwitch;
class AppContext;
class CameraWatchBar;
class PictureView;

// The measure screen: a still picture of the landing area with the current grid drawn over it,
// the contact mark the operator places and nudges, and the recording of the jump.
class Measure : public QWidget, private MeasureControls
{
    Q_OBJECT

public:
    explicit Measure(AppContext &context, QWidget *parent = nullptr);
    ~Measure() override;

    // Redraws the buoys, side lines, distance labels and grid description of the current grid.
    void show_the_grid();
    // Draws the contact mark at the impact point and the splash indicator above the corrected
    // landing point.
    void DrawImpactMark();
    // The first contact frame selection suggested, a faint ring on its frame's picture (and its
    // neighbours'); never a mark.
    void drawSuggestedContact();

    PictureView &pictureView() const { return *m_picture; }
    const MeasureState &state() const { return m_state; }
    // Puts a picture on the screen as frame selection does (NavigationTag "SelectFrame").
    void setSkierAndJump(const QString &skier, const QString &jumpNo);
    void setSkierName(const QString &skier);
    // A saved picture reopened from the picture log: shown with the grid drawn over it and its
    // path under the grid description. A picture that cannot be loaded is said and nothing
    // changes (false).
    bool showLoggedPicture(const QString &path);

    // Handlers, public so that menus, buttons and tests share one path.
    void Record_Click();
    void Unfreeze_Click();
    void Set_grid_Click();
    void verify_Click();
    void mnuPaste_Click();
    void ClipSnapShot_Click();
    void ImgSnapShot_Click();
    void LoadPict_Click();
    void mnuCapture_Click();
    void Exit_Click();
    void adjust(double dxTwips, double dyTwips);

signals:
    // Next jump: frame selection lets go of the video before it is kept or erased.
    void videoReleaseNeeded();

protected:
    void showEvent(QShowEvent *event) override;
    // Closing by the window frame is the way back to the main screen, with all its steps.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    QWidget *buildSidePanel();
    void buildMenu();
    void activate();
    void pictureChanged();
    // Says under the picture when it is not the size of the picture the active grid was built on.
    void checkGridPicture();
    void freezePicture(const QImage &picture, const QString &name);
    // Shows the path of a picture loaded from a file directly below the grid description.
    void showPicturePath(const QString &path);
    void applyColours();
    void showReadouts(bool visible);
    void pressOnPicture(ScreenPoint point);
    void moveOverPicture(ScreenPoint point);
    void loadTimerTick();
    void setMarkControlsVisible(bool visible);
    void resultOptionChosen(ResultKind kind, bool on);
    void entryChosen(QRadioButton *option, bool on);
    void readState();
    void showState();
    void clearDistanceLabels();
    void savePictureByPolicy();
    // The picture on show is the frame picture of the application directory.
    bool showsFramePicture() const;
    // The steps that keep or erase the picture and video on the way out, for the jump on show.
    LeavingSteps leavingSteps();
    LeavingSteps::Shown shownJump() const;

    AppContext &m_context;
    MeasureState m_state;
    ScreenPoint m_lastImpactPoint;
    ScreenPoint m_splashPoint;
    QString m_pictureWidthText = QStringLiteral("12000");
    QString m_pictureHeightText = QStringLiteral("9000");
    QString m_shownPictureName;
    // Whether the picture on show is the frame picture of the application directory.
    bool m_pictureIsFramePicture = false;
    // A jump has been recorded from the picture on show.
    bool m_jumpRecorded = false;

    PictureView *m_picture = nullptr;
    AccuracyMapSwitch *m_accuracyMap = nullptr;
    QTimer *m_loadTimer = nullptr;
    // Under the picture: said when the picture is not the size the active grid was built on.
    CameraWatchBar *m_cameraWatch = nullptr;
    // The distance labels of the upper buoys, over the picture.
    QLabel *m_maxbuoy = nullptr;
    QLabel *m_minbuoy = nullptr;
    QLabel *m_maxbuoym = nullptr;
    QLabel *m_minbuoym = nullptr;
};

} // namespace skelvin
