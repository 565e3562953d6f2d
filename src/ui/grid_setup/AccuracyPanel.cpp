#include "ui/grid_setup/AccuracyPanel.h"

#include "core/app/AppContext.h"
#include "core/geometry/AccuracyMap.h"
#include "ui/common/Named.h"
#include "ui/common/PictureView.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace skelvin {

AccuracyPanel::AccuracyPanel(AppContext &context, PictureView &picture,
                             std::function<AccuracyRequest()> request,
                             std::function<void()> redrawMarkers, QWidget *parent)
    : QWidget(parent), m_context(context), m_picture(picture), m_request(std::move(request)),
      m_redrawMarkers(std::move(redrawMarkers))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_button = named(new QPushButton(kAccuracyButtonCaption), "btnAccuracyCheck");
    m_button->setFixedWidth(120);
    connect(m_button, &QPushButton::clicked, this, &AccuracyPanel::btnAccuracyCheck_Click);
    layout->addWidget(m_button, 0, Qt::AlignTop);

    m_display = named(new QGroupBox(QStringLiteral("Accuracy ")), "fmAccuracyDisplay");
    auto *modes = new QVBoxLayout(m_display);
    m_standard = named(new QRadioButton(QStringLiteral("Standard")), "optStandardAccuracy");
    m_advanced = named(new QRadioButton(QStringLiteral("Advanced")), "optAdvancedAccuracy");
    m_standard->setChecked(true);
    modes->addWidget(m_standard);
    modes->addWidget(m_advanced);
    layout->addWidget(m_display);

    m_config = named(new QGroupBox(QStringLiteral("Display")), "fmAccuracyConfig");
    auto *displays = new QVBoxLayout(m_config);
    m_distance = named(new QRadioButton(QStringLiteral("Distance")), "optDisplayDistance");
    m_detail = named(new QRadioButton(QStringLiteral("Detail ")), "optDetailMeasurement");
    m_homologation = named(new QRadioButton(QStringLiteral("Hom.Lvl")), "optHomolgationLevel");
    m_homologation->setChecked(true);
    for (QRadioButton *b : {m_distance, m_detail, m_homologation})
        displays->addWidget(b);
    layout->addWidget(m_config);
    connect(m_advanced, &QRadioButton::toggled, m_config, &QWidget::setVisible);

    QWidget *canvas = m_picture.canvas();
    for (size_t k = 0; k < m_indicators.size(); ++k) {
        m_indicators[k] = new QLabel(canvas);
        m_indicators[k]->setObjectName(QStringLiteral("AccuracyIndicator_%1").arg(k));
        m_indicators[k]->hide();
    }
    for (size_t k = 0; k < m_lineLabels.size(); ++k) {
        m_lineLabels[k] = new QLabel(QString::number(k + 1), canvas);
        m_lineLabels[k]->setObjectName(QStringLiteral("LineLabel_%1").arg(k));
        m_lineLabels[k]->hide();
    }
    // In the view's top left corner, fixed while the picture scrolls; the accuracy map keeps
    // the bottom left one.
    m_legend = new QLabel(m_picture.viewport());
    m_legend->setObjectName(QStringLiteral("accuracyCheckLegend"));
    m_legend->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_legend->setPixmap(QPixmap::fromImage(AccuracyMap::legend(QStringLiteral("Accuracy check"))));
    m_legend->adjustSize();
    m_legend->move(8, 8);
    m_legend->hide();
}

void AccuracyPanel::setCheckEnabled(bool enabled)
{
    m_button->setEnabled(enabled);
    m_display->setVisible(enabled);
    m_config->setVisible(enabled && m_advanced->isChecked());
    clearIndicators();
}

void AccuracyPanel::clearIndicators()
{
    for (QLabel *label : m_indicators)
        label->hide();
    for (QLabel *label : m_lineLabels)
        label->hide();
    m_legend->hide();
}

AccuracyDisplay AccuracyPanel::chosenDisplay() const
{
    if (m_distance->isChecked())
        return AccuracyDisplay::Distance;
    if (m_detail->isChecked())
        return AccuracyDisplay::Detail;
    return AccuracyDisplay::HomologationLevel;
}

void AccuracyPanel::placeLabel(QLabel *label, const QString &caption, ScreenPoint topLeft)
{
    label->setText(caption);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, drawingColour(m_context.tournament()));
    label->setPalette(palette);
    label->adjustSize();
    m_picture.placeOver(label, topLeft);
}

void AccuracyPanel::showIndicators(const AccuracyIndicators &indicators)
{
    clearIndicators();
    for (size_t k = 0; k < indicators.size(); ++k) {
        placeLabel(m_indicators[k], indicators[k].caption, indicators[k].topLeft);
        m_indicators[k]->setVisible(indicators[k].visible);
    }
    // Distances and metres a pixel read by themselves; the grade letters need the legend.
    if (chosenDisplay() == AccuracyDisplay::HomologationLevel) {
        m_legend->show();
        m_legend->raise();
    }
}

void AccuracyPanel::btnAccuracyCheck_Click()
{
    AccuracyRequest request = m_request();
    request.mode = m_advanced->isChecked() ? AccuracyMode::Advanced : AccuracyMode::Standard;
    if (request.mode == AccuracyMode::Standard)
        m_homologation->setChecked(true);
    request.display = chosenDisplay();
    request.tournamentType = m_context.tournament().tournamentType;
    request.videoDirectory = m_context.videoDirectory;

    AccuracyCheck check(m_context.grids(), m_context.prompter(), m_context.clock());
    const AccuracyRun run = check.run(request);
    if (!run.measured())
        return; // the operator has been told why; the screen stays as it was

    if (!run.asksForLine()) {
        showIndicators(run.indicators);
        m_redrawMarkers();
        return;
    }
    m_picture.clearDrawings();
    const QColor colour = drawingColour(m_context.tournament());
    for (size_t j = 0; j < run.lineGuides.size(); ++j) {
        const AccuracyLineGuide &guide = run.lineGuides[j];
        m_picture.drawLine(guide.from, guide.to, colour);
        placeLabel(m_lineLabels[j], guide.caption, guide.labelTopLeft);
        m_lineLabels[j]->show();
    }
    const std::optional<int> line = check.askSkierPathLine();
    m_picture.clearDrawings();
    for (QLabel *label : m_lineLabels)
        label->hide();
    if (line)
        showIndicators(run.indicatorsShowingLine(*line));
    m_redrawMarkers();
}

} // namespace skelvin
