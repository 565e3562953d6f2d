#pragma once

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QToolButton;
class QWidget;

namespace skelvin {

class DragHandle;

// The controls beside the measure screen's picture, built and placed by setupSidePanel as a
// form is set up: the screen holds them as its own members and connects them to its handlers.
// They are placed freely so that the drag handles can move their groups.
struct MeasureControls
{
    // Builds every control in a panel that scrolls on a low screen, and returns it.
    QWidget *setupSidePanel();

    QPushButton *m_record = nullptr;
    QLineEdit *m_distance = nullptr;
    QLineEdit *m_distanceFt = nullptr;
    QLineEdit *m_jumpNo = nullptr;
    QComboBox *m_skierName = nullptr;
    QRadioButton *m_optJumpOK = nullptr;
    QRadioButton *m_pass = nullptr;
    QRadioButton *m_fall = nullptr;
    QRadioButton *m_oReride = nullptr;
    QRadioButton *m_mReride = nullptr;
    QRadioButton *m_otherGrid = nullptr;
    QRadioButton *m_makeComment = nullptr;
    QLineEdit *m_comment = nullptr;
    QPushButton *m_setGrid = nullptr;
    QPushButton *m_showGrid = nullptr;
    QPushButton *m_unfreeze = nullptr;
    QPushButton *m_verify = nullptr;
    QPushButton *m_reselect = nullptr;
    QPushButton *m_nextJump = nullptr;
    QCheckBox *m_autoLoad = nullptr;
    // Shows the first contact frame selection suggested as a faint ring on the picture.
    QCheckBox *m_showSuggestedContact = nullptr;
    QToolButton *m_clipSnap = nullptr;
    QToolButton *m_imgSnap = nullptr;
    QScrollBar *m_crossSize = nullptr;
    DragHandle *m_crossLabel = nullptr;
    QToolButton *m_adjustUp = nullptr;
    QToolButton *m_adjustDown = nullptr;
    QToolButton *m_adjustLeft = nullptr;
    QToolButton *m_adjustRight = nullptr;
    DragHandle *m_adjustmentLabel = nullptr;
    DragHandle *m_frozenSign = nullptr;
    QLabel *m_unofficialJump = nullptr;
    DragHandle *m_gridLabel = nullptr;
    QLineEdit *m_gridDescription = nullptr;
    QLineEdit *m_gifFileName = nullptr;
    QLineEdit *m_barefootIndicator = nullptr;
    QLineEdit *m_xtwips = nullptr;
    QLineEdit *m_ytwips = nullptr;
    QLineEdit *m_xposition = nullptr;
    QLineEdit *m_yposition = nullptr;
    QLineEdit *m_verifyDistance = nullptr;
    QLabel *m_iwsfLabel = nullptr;
    QLabel *m_awsaLabel = nullptr;
};

} // namespace skelvin
