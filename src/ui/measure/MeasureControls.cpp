#include "ui/measure/MeasureControls.h"

#include "core/common/NumberEntryValidator.h"
#include "ui/common/DragHandle.h"
#include "ui/common/Named.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <tuple>

namespace skelvin {

namespace {

constexpr int kPanelWidth = 340;

QLineEdit *box(const char *name, const QString &text = QString())
{
    return named(new QLineEdit(text), name);
}

} // namespace

QWidget *MeasureControls::setupSidePanel()
{
    // Controls are placed freely so that the drag handles can move their groups.
    auto *panel = new QWidget;
    int y = 4;
    auto place = [&](QWidget *w, int x, int width, int height = 24, int advance = -1) {
        w->setParent(panel);
        w->setGeometry(x, y, width, height);
        if (advance < 0)
            advance = height + 2;
        y += advance;
        return w;
    };
    constexpr int full = kPanelWidth - 12;

    m_record = named(new QPushButton(QStringLiteral("Record &Jump")), "Record");
    place(m_record, 4, full, 32);

    m_iwsfLabel = named(new QLabel(QStringLiteral("IWSF Official Distance")), "IWSFlabel");
    m_distance = box("distance", QStringLiteral("M"));
    m_awsaLabel = named(new QLabel(QStringLiteral("AWSA Official Distance")), "AWSAlabel");
    m_distanceFt = box("distance_ft", QStringLiteral("FT"));
    place(m_iwsfLabel, 4, 160, 24, 0);
    place(m_distance, 168, 160);
    place(m_awsaLabel, 4, 160, 24, 0);
    place(m_distanceFt, 168, 160);

    m_skierName = named(new QComboBox, "Skier_name");
    m_skierName->setEditable(true);
    m_skierName->setEditText(QStringLiteral("Skier Name"));
    m_jumpNo = box("Jump_no", QStringLiteral("Jump"));
    m_jumpNo->setValidator(new NumberEntryValidator(NumberEntry::Whole, {QStringLiteral("Jump")}, m_jumpNo));
    place(m_skierName, 4, 220, 24, 0);
    place(m_jumpNo, 228, 100);

    auto *frame1 = named(new QGroupBox, "Frame1");
    // A mid-grey ground on which the black, red and yellow captions of the options all read.
    frame1->setAutoFillBackground(true);
    QPalette ground = frame1->palette();
    ground.setColor(QPalette::Window, QColor(150, 158, 168));
    frame1->setPalette(ground);
    // Two columns: the normal results on the left, the entries that ask for more on the right,
    // so the side panel fits a 768-pixel-high screen without scrolling.
    auto *options = new QGridLayout(frame1);
    options->setContentsMargins(6, 2, 6, 2);
    options->setSpacing(0);
    m_optJumpOK = named(new QRadioButton(QStringLiteral("Jump OK")), "optJumpOK");
    m_pass = named(new QRadioButton(QStringLiteral("Pass")), "Pass");
    m_fall = named(new QRadioButton(QStringLiteral("Fall")), "Fall");
    m_oReride = named(new QRadioButton(QStringLiteral("Opt. reride")), "O_reride");
    m_mReride = named(new QRadioButton(QStringLiteral("Man. Reride")), "M_Reride");
    m_otherGrid = named(new QRadioButton(QStringLiteral("Other Grid")), "Other_Grid");
    m_makeComment = named(new QRadioButton(QStringLiteral("Comment")), "Make_comment");
    int row = 0;
    for (QRadioButton *b : {m_optJumpOK, m_pass, m_fall, m_otherGrid})
        options->addWidget(b, row++, 0);
    row = 0;
    for (QRadioButton *b : {m_oReride, m_mReride, m_makeComment})
        options->addWidget(b, row++, 1);
    m_optJumpOK->setChecked(true);
    place(frame1, 4, full, 96);

    m_comment = box("Comment");
    place(m_comment, 4, full);

    m_setGrid = named(new QPushButton(QStringLiteral("&Grid 1")), "Set_grid");
    m_showGrid = named(new QPushButton(QStringLiteral("Show Grid")), "Show_grid");
    m_unfreeze = named(new QPushButton(QStringLiteral("Clear")), "Unfreeze");
    m_verify = named(new QPushButton(QStringLiteral("Verify")), "verify");
    place(m_setGrid, 4, 160, 26, 0);
    place(m_showGrid, 168, 160, 26);
    place(m_unfreeze, 4, 160, 26, 0);
    place(m_verify, 168, 160, 26);

    m_reselect = named(new QPushButton(QStringLiteral("Reselect capture frame")), "Command1");
    m_nextJump = named(new QPushButton(QStringLiteral("Capture Next Jump")), "btnNextJump");
    place(m_reselect, 4, 160, 26, 0);
    place(m_nextJump, 168, 160, 26);

    m_autoLoad = named(new QCheckBox(QStringLiteral("Auto Load")), "cbAutoLoadClipboard");
    m_clipSnap = named(new QToolButton, "ClipSnapShot");
    m_clipSnap->setText(QStringLiteral("Clipboard"));
    m_imgSnap = named(new QToolButton, "ImgSnapShot");
    m_imgSnap->setText(QStringLiteral("Snapshot"));
    place(m_autoLoad, 4, 100, 24, 0);
    place(m_clipSnap, 110, 100, 24, 0);
    place(m_imgSnap, 216, 110, 24);
    m_showSuggestedContact = named(new QCheckBox(QStringLiteral("Show suggested contact point")),
                                   "cbShowSuggestedContact");
    place(m_showSuggestedContact, 4, full);

    m_crossLabel = named(new DragHandle(QStringLiteral("Adjust Cross Size (drag-it)")), "CrossLabel");
    m_crossSize = named(new QScrollBar(Qt::Horizontal), "CrossSize");
    m_crossSize->setRange(30, 600);
    m_crossSize->setSingleStep(15);
    m_crossSize->setValue(150);
    place(m_crossLabel, 4, full);
    place(m_crossSize, 4, full, 18);
    m_crossLabel->addToGroup(m_crossSize);

    // The arrow buttons stand beside their handle, the FROZEN and UNOFFICIAL JUMP signs below it.
    const int markToolsTop = y;
    m_adjustmentLabel = named(new DragHandle(QStringLiteral("Micro-Adjust (drag-it)")), "AdjustmentLabel");
    place(m_adjustmentLabel, 4, 190);
    const std::tuple<QToolButton **, const char *, Qt::ArrowType, int, int> arrows[] = {
        {&m_adjustUp, "AdjustUp", Qt::UpArrow, 250, 0},
        {&m_adjustLeft, "AdjustLeft", Qt::LeftArrow, 220, 28},
        {&m_adjustRight, "AdjustRight", Qt::RightArrow, 280, 28},
        {&m_adjustDown, "AdjustDown", Qt::DownArrow, 250, 56}};
    for (const auto &[member, name, arrow, dx, dy] : arrows) {
        auto *button = named(new QToolButton(panel), name);
        button->setArrowType(arrow);
        button->setGeometry(dx, markToolsTop + dy, 28, 26);
        *member = button;
        m_adjustmentLabel->addToGroup(button);
    }

    m_frozenSign = named(new DragHandle(QStringLiteral("FROZEN")), "FrozenSign");
    QFont bold = m_frozenSign->font();
    bold.setBold(true);
    m_frozenSign->setFont(bold);
    m_unofficialJump = named(new QLabel(QStringLiteral("UNOFFICIAL JUMP")), "UnofficialJump");
    m_unofficialJump->setFont(bold);
    QPalette red = m_unofficialJump->palette();
    red.setColor(QPalette::WindowText, Qt::red);
    m_unofficialJump->setPalette(red);
    place(m_frozenSign, 4, 190);
    place(m_unofficialJump, 4, 190);
    y = std::max(y, markToolsTop + 86);

    m_barefootIndicator = box("barefoot_indicator", QStringLiteral("Barefoot Jump"));
    m_barefootIndicator->setReadOnly(true);
    place(m_barefootIndicator, 4, full);

    m_gridLabel = named(new DragHandle(QStringLiteral("Grid Description (drag-it)")), "gridlabel");
    m_gridDescription = box("grid_description");
    m_gridDescription->setReadOnly(true);
    m_gifFileName = box("gif_file_name", QStringLiteral(".gif file name"));
    m_gifFileName->setReadOnly(true);
    place(m_gridLabel, 4, full);
    place(m_gridDescription, 4, full);
    place(m_gifFileName, 4, full);
    m_gridLabel->addToGroup(m_gridDescription);
    m_gridLabel->addToGroup(m_gifFileName);

    m_xtwips = box("xtwips");
    m_ytwips = box("ytwips");
    m_xposition = box("xposition");
    m_yposition = box("yposition");
    m_verifyDistance = box("VerifyDistance");
    place(m_xtwips, 4, 78, 24, 0);
    place(m_ytwips, 86, 78, 24, 0);
    place(m_xposition, 168, 78, 24, 0);
    place(m_yposition, 250, 78);
    place(m_verifyDistance, 4, full);
    for (QLineEdit *b : {m_xtwips, m_ytwips, m_xposition, m_yposition, m_verifyDistance})
        b->setReadOnly(true);

    // On a small screen the panel scrolls rather than cutting off its lower boxes.
    panel->setFixedSize(kPanelWidth, y + 4);
    auto *scroller = named(new QScrollArea, "sidePanel");
    scroller->setWidget(panel);
    scroller->setFrameShape(QFrame::NoFrame);
    scroller->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller->setFixedWidth(kPanelWidth + scroller->verticalScrollBar()->sizeHint().width());
    return scroller;
}

} // namespace skelvin
