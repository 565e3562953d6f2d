#include "ui/frames/FramePlayer.h"

#include "ui/frames/FrameMarks.h"

#include "core/frames/FrameSource.h"
#include "ui/common/Named.h"

#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

namespace skelvin {

FramePlayer::FramePlayer(QWidget *parent)
    : QWidget(parent), m_source(new FrameSource(this)), m_scroller(new QScrollArea),
      m_view(named(new FrameView, "FrameView")),
      m_slider(named(new QSlider(Qt::Horizontal), "sldPosition")),
      m_marks(named(new FrameMarks, "FrameMarks")),
      m_problem(named(new QLabel, "lblFrameProblem")),
      m_fullWindow(new QWidget(this, Qt::Window)),
      m_fullView(named(new FrameView, "FullScreenView"))
{
    m_scroller->setWidget(m_view);
    m_scroller->setWidgetResizable(true);
    m_scroller->setAlignment(Qt::AlignCenter);
    m_scroller->setStyleSheet(QStringLiteral("QScrollArea { background: black; }"));
    m_slider->setEnabled(false);
    m_slider->setRange(0, 0);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_problem->setStyleSheet(QStringLiteral("QLabel { color: #c00000; font-weight: bold; }"));
    m_problem->setWordWrap(true);
    m_problem->hide();
    layout->addWidget(m_scroller, 1);
    layout->addWidget(m_problem);
    layout->addWidget(m_slider);
    layout->addWidget(m_marks);

    m_fullWindow->setObjectName(QStringLiteral("FullScreenPlayer"));
    m_fullWindow->setWindowTitle(QStringLiteral("Skelvin 2005 Frame Selection"));
    auto *fullLayout = new QVBoxLayout(m_fullWindow);
    fullLayout->setContentsMargins(0, 0, 0, 0);
    fullLayout->addWidget(m_fullView);
    m_fullWindow->installEventFilter(this);
    m_fullView->installEventFilter(this);
    connect(m_fullView, &FrameView::clicked, this, &FramePlayer::repeatRequested);

    connect(m_source, &FrameSource::frameReady, this, &FramePlayer::showFrame);
    connect(m_source, &FrameSource::frameFailed, this, &FramePlayer::showFailure);
    connect(m_source, &FrameSource::positionChanged, this, [this](int frame) {
        const QSignalBlocker blocker(m_slider);
        m_slider->setValue(frame);
        emit positionChanged(frame);
    });
    connect(m_source, &FrameSource::playFinished, this, &FramePlayer::playFinished);
    connect(m_slider, &QSlider::valueChanged, this, [this](int frame) {
        if (frame != m_source->position())
            m_source->seek(frame);
    });
}

FramePlayer::~FramePlayer() = default;

bool FramePlayer::load(const QString &path, QString *failure)
{
    unload();
    if (path.isEmpty())
        return false;
    VideoDecoder::OpenFailure why;
    if (!m_source->open(path, &why)) {
        if (failure)
            *failure = why.detail;
        return false;
    }
    {
        const QSignalBlocker blocker(m_slider);
        m_slider->setRange(0, m_source->frameCount() - 1);
        m_slider->setValue(0);
    }
    m_slider->setEnabled(true);
    m_marks->setFrameCount(m_source->frameCount());
    // Frame 0 is on its way; it shows as soon as the worker has it.
    if (const QImage first = m_source->currentFrame(); !first.isNull())
        showFrame(0, first);
    return true;
}

void FramePlayer::unload()
{
    m_source->close();
    m_view->clear();
    m_fullView->clear();
    m_problem->hide();
    m_marks->setFrameCount(0);
    m_marks->setMarks(-1, -1);
    const QSignalBlocker blocker(m_slider);
    m_slider->setRange(0, 0);
    m_slider->setEnabled(false);
}

void FramePlayer::setMarks(int suggestedFrame, int pressedFrame)
{
    m_marks->setMarks(suggestedFrame, pressedFrame);
}

QString FramePlayer::fileName() const
{
    return m_source->path();
}

int FramePlayer::frameCount() const
{
    return m_source->frameCount();
}

double FramePlayer::frameRate() const
{
    return m_source->frameRate();
}

QSize FramePlayer::frameSize() const
{
    return m_source->frameSize();
}

int FramePlayer::position() const
{
    return m_source->position();
}

int FramePlayer::shownFrame() const
{
    return m_view->frame();
}

void FramePlayer::setPosition(int frame)
{
    m_source->seek(frame);
}

void FramePlayer::stepForward()
{
    m_source->stepForward();
}

void FramePlayer::stepBack()
{
    m_source->stepBack();
}

void FramePlayer::play(int fromFrame, int toFrame)
{
    m_source->play(fromFrame, toFrame);
}

void FramePlayer::stop()
{
    m_source->stop();
}

bool FramePlayer::isPlaying() const
{
    return m_source->isPlaying();
}

void FramePlayer::setZoom(FrameView::Zoom zoom)
{
    m_view->setZoom(zoom);
    m_scroller->setWidgetResizable(zoom == FrameView::Zoom::Fit);
}

void FramePlayer::setFullScreen(bool on)
{
    if (on == isFullScreen())
        return;
    if (on) {
        m_fullView->setFrame(m_view->frame(), m_view->image());
        // The whole monitor the player is on, also where no window manager sizes the window.
        if (const QScreen *monitor = screen())
            m_fullWindow->setGeometry(monitor->geometry());
        m_fullWindow->showFullScreen();
        m_fullWindow->raise();
        m_fullWindow->activateWindow();
        m_fullView->setFocus();
    } else {
        m_fullWindow->hide();
        emit fullScreenLeft();
    }
}

bool FramePlayer::isFullScreen() const
{
    return m_fullWindow->isVisible();
}

void FramePlayer::showFrame(int frame, const QImage &image)
{
    if (frame != m_source->position())
        return;
    m_problem->hide();
    m_view->setFrame(frame, image);
    if (isFullScreen())
        m_fullView->setFrame(frame, image);
    emit frameShown(frame);
}

void FramePlayer::showFailure(int frame, const QString &reason)
{
    if (frame != m_source->position())
        return;
    // The picture before must not stay on screen under this frame's number.
    m_view->clear();
    if (isFullScreen())
        m_fullView->clear();
    m_problem->setText(QStringLiteral("Frame %1 cannot be shown: its picture does not decode "
                                      "(%2). Step to another frame.")
                           .arg(frame)
                           .arg(reason));
    m_problem->show();
}

bool FramePlayer::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == m_fullWindow || watched == m_fullView) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        setFullScreen(false);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace skelvin
