#pragma once

#include "core/geometry/GridEntryTexts.h"
#include "core/grid_setup/BuoyPlacement.h"

#include <QHash>
#include <QWidget>

#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QTimer;

namespace skelvin {

class AccuracyPanel;
class AccuracyMapSwitch;
class BuoySnapSwitch;
class AppContext;
class PictureView;

// The grid setup screen: a still picture of one camera on which the operator places the four
// corner buoys and the check buoy, types their surveyed positions and the jump position, and
// completes, saves and loads the grids of up to three cameras.
class Grid_Setup : public QWidget
{
    Q_OBJECT

public:
    explicit Grid_Setup(AppContext &context, QWidget *parent = nullptr);
    ~Grid_Setup() override;

    PictureView &pictureView() const { return *m_picture; }
    const GridMarkers &markers() const { return m_placement.markers(); }
    // What the entry fields show.
    GridEntryTexts entryTexts() const;
    QString pictureWidthText() const { return m_pictureWidthText; }

    // Commands, public so that menus, buttons and tests share one path.
    void Load_Click();            // Complete
    void grid_select_Click();
    void gridSave_Click();
    void gridLoad_Click();
    void gridExit_Click();
    void Show_grid();
    void nudge(double dxTwips, double dyTwips);
    void pressOnPicture(ScreenPoint point);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Closing by the window frame leaves as "Return to Main Screen" does, question included.
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    QWidget *buildFields();
    QWidget *buildTools();
    void buildMenu();
    static void putText(QLineEdit *edit, const QString &value);
    QLineEdit *field(const char *name, const QString &initial);
    // An entry field of a buoy, the jump or the check buoy, with its not-entered text.
    QLineEdit *entryField(const char *name, const QString &notEntered);
    std::optional<Buoy> chosenBuoy() const;
    // Shows the moved markers' positions in their fields and in the active grid.
    void updateFields(const std::array<bool, BuoyCount> &moved);
    // Draws the five markers, each in the marker style or as a cross where a click placed it.
    void drawMarkers();
    void showTexts(const GridEntryTexts &texts);
    void showGrid(int n, bool withCheckBuoy);
    void fieldChanged(const QString &name, const QString &text);
    void setStateIcon(const QString &picture);
    void setAccuracyEnabled(bool enabled);
    void setLocked(bool locked);
    void lockToggled(bool on);
    void takePicture(const QImage &picture, bool measureSize);
    void loadPicture();
    int captionGrid() const;
    void setCaptionGrid(int n);

    AppContext &m_context;
    BuoyPlacement m_placement;
    bool m_loading = false;
    bool m_shownBefore = false;
    QString m_pictureWidthText = QStringLiteral("12000");
    QString m_pictureHeightText = QStringLiteral("9000");

    PictureView *m_picture = nullptr;
    AccuracyMapSwitch *m_accuracyMap = nullptr;
    BuoySnapSwitch *m_snap = nullptr;
    QHash<QString, QLineEdit *> m_fields;
    QHash<int, QRadioButton *> m_buoyOptions;
    QPushButton *m_gridSelect = nullptr;
    QCheckBox *m_lock = nullptr;
    QLabel *m_gridLockedLabel = nullptr;
    QLabel *m_lblGridDragIt = nullptr;
    QScrollBar *m_crossSize = nullptr;
    QPushButton *m_cmdCBlabel = nullptr;
    QLabel *m_lblCB = nullptr;
    QLabel *m_stateIcon = nullptr;
    AccuracyPanel *m_accuracy = nullptr;
    QLineEdit *m_txtPicWidth = nullptr;
    QLineEdit *m_txtPicHeight = nullptr;
    QLabel *m_lblCompleteStatus = nullptr;
};

} // namespace skelvin
