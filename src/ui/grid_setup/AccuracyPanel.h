#pragma once

#include "core/geometry/AccuracyCheck.h"

#include <QWidget>

#include <array>
#include <functional>

class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace skelvin {

class AppContext;
class PictureView;

// The accuracy check on the grid setup screen: its button, the mode and display options, and
// the grades it shows on the picture (one label per lattice point, line numbers while the
// operator picks the skiers' line) with the accuracy map's legend.
class AccuracyPanel : public QWidget
{
    Q_OBJECT

public:
    // `request` gives what the screen's fields show; `redrawMarkers` draws the buoy markers.
    AccuracyPanel(AppContext &context, PictureView &picture, std::function<AccuracyRequest()> request,
                  std::function<void()> redrawMarkers, QWidget *parent = nullptr);

    // The button with its frames, or neither; both clear the grades on the picture.
    void setCheckEnabled(bool enabled);
    void clearIndicators();

    void btnAccuracyCheck_Click();

private:
    AccuracyDisplay chosenDisplay() const;
    void showIndicators(const AccuracyIndicators &indicators);
    void placeLabel(QLabel *label, const QString &caption, ScreenPoint topLeft);

    AppContext &m_context;
    PictureView &m_picture;
    std::function<AccuracyRequest()> m_request;
    std::function<void()> m_redrawMarkers;
    QPushButton *m_button = nullptr;
    QGroupBox *m_display = nullptr;
    QGroupBox *m_config = nullptr;
    QRadioButton *m_standard = nullptr;
    QRadioButton *m_advanced = nullptr;
    QRadioButton *m_distance = nullptr;
    QRadioButton *m_detail = nullptr;
    QRadioButton *m_homologation = nullptr;
    std::array<QLabel *, kAccuracyIndicatorCount> m_indicators{};
    std::array<QLabel *, kLineLabelCount> m_lineLabels{};
    QLabel *m_legend = nullptr; // what the grades mean, while grades are shown
};

} // namespace skelvin
