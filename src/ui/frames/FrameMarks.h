#pragma once

#include <QWidget>

namespace skelvin {

// A strip under the frame player's slider that marks two frames: the first contact the search
// suggested (a green triangle) and the moment Contact was pressed (an orange one). Each mark is
// at its frame's place along the slider.
class FrameMarks : public QWidget
{
    Q_OBJECT

public:
    explicit FrameMarks(QWidget *parent = nullptr);

    // The frames of the slider's range, and the marked frames (-1: none).
    void setFrameCount(int frames);
    void setMarks(int suggestedFrame, int pressedFrame);
    int suggestedFrame() const { return m_suggested; }
    int pressedFrame() const { return m_pressed; }

    QSize sizeHint() const override { return {100, 10}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double xOf(int frame) const;

    int m_frames = 0;
    int m_suggested = -1;
    int m_pressed = -1;
};

} // namespace skelvin
