#pragma once

#include "ui/frames/FrameView.h"

#include <QString>
#include <QWidget>

class QLabel;
class QScrollArea;
class QSlider;

namespace skelvin {

class FrameMarks;
class FrameSource;

// The frame selection screen's player: one video shown a frame at a time, a position slider,
// steps of one frame, a span played at the video's rate, and a full-screen view (Esc returns,
// a click asks to play again). Every position is a frame number counted from 0. Decoding runs
// on the frame source's worker, so a step never waits for a decoder here.
class FramePlayer : public QWidget
{
    Q_OBJECT

public:
    explicit FramePlayer(QWidget *parent = nullptr);
    ~FramePlayer() override;

    // Loads a video at frame 0; an empty path unloads. False (and the reason in `failure`) when
    // the video does not open; the player is then empty.
    bool load(const QString &path, QString *failure = nullptr);
    void unload();
    // The loaded file, empty when none.
    QString fileName() const;
    int frameCount() const;
    double frameRate() const;
    QSize frameSize() const;

    int position() const;
    // The frame whose picture is on screen: the position once its picture has arrived, the
    // frame before while it is on its way, -1 when no picture shows (none loaded, or the frame
    // at the position does not decode).
    int shownFrame() const;
    void setPosition(int frame);
    void stepForward();
    void stepBack();

    // Plays from one frame to another at the video's frame rate.
    void play(int fromFrame, int toFrame);
    void stop();
    bool isPlaying() const;

    void setZoom(FrameView::Zoom zoom);
    void setFullScreen(bool on);
    bool isFullScreen() const;

    // Marks under the slider: the suggested first contact and the Contact press (-1: none).
    void setMarks(int suggestedFrame, int pressedFrame);
    FrameMarks *marks() const { return m_marks; }

    // The view the picture is painted in (normal size).
    FrameView *view() const { return m_view; }
    FrameView *fullScreenView() const { return m_fullView; }
    FrameSource &source() const { return *m_source; }

signals:
    void positionChanged(int frame);
    // A frame's picture has been put on screen.
    void frameShown(int frame);
    void playFinished();
    // A click on the full-screen picture.
    void repeatRequested();
    void fullScreenLeft();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showFrame(int frame, const QImage &image);
    void showFailure(int frame, const QString &reason);

    FrameSource *m_source;
    QScrollArea *m_scroller;
    FrameView *m_view;
    QSlider *m_slider;
    FrameMarks *m_marks;
    // Says in words that the frame at the position cannot be shown.
    QLabel *m_problem;
    QWidget *m_fullWindow;
    FrameView *m_fullView;
};

} // namespace skelvin
