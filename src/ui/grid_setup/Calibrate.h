#pragma once

#include <QWidget>

class QLineEdit;
class QPushButton;

namespace skelvin {

class AppContext;
class PictureView;

// "Calibration Assistant": converts the two ends of a line between survey metres and picture
// twips with the active grid and draws the line over the grid setup and measure pictures, so the
// operator sees where a surveyed line falls on the picture.
class Calibrate : public QWidget
{
    Q_OBJECT

public:
    Calibrate(AppContext &context, PictureView &setupPicture, PictureView &measurePicture,
              QWidget *parent = nullptr);

    void CalibrateLineDrawCommand_Click();
    void CalibrationLineErase_Click();

    static const QString kLineName;

protected:
    void hideEvent(QHideEvent *event) override;

private:
    QLineEdit *box(const char *name);
    // True when the four boxes the line is drawn from hold numbers; else the first that does
    // not is named to the operator.
    bool boxesHoldNumbers(QLineEdit *const (&boxes)[2][2], const QString &kind);

    AppContext &m_context;
    PictureView &m_setupPicture;
    PictureView &m_measurePicture;
    QLineEdit *m_actual[2][2] = {};
    QLineEdit *m_twips[2][2] = {};
    QPushButton *m_units = nullptr;
};

} // namespace skelvin
