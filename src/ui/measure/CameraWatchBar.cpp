#include "ui/measure/CameraWatchBar.h"

#include "core/geometry/GridPicture.h"
#include "core/geometry/GridStore.h"
#include "core/logs/DebugLog.h"
#include "ui/common/Named.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace skelvin {

CameraWatchBar::CameraWatchBar(GridStore &grids, const SettingsStore &settings,
                               DebugLog &debugLog, QWidget *parent)
    : QWidget(parent), m_grids(grids), m_settings(settings), m_debugLog(debugLog)
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    m_warning = named(new QLabel, "lblGridWarning");
    m_warning->setWordWrap(true);
    m_warning->setStyleSheet(QStringLiteral("color: red; font-weight: bold"));
    m_warning->hide();
    column->addWidget(m_warning);

    auto *row = new QHBoxLayout;
    m_sign = named(new QLabel, "lblCameraSign");
    m_sign->setWordWrap(true);
    m_follow = named(new QPushButton(QStringLiteral("Follow camera")), "cmdFollowCamera");
    m_follow->hide();
    row->addWidget(m_sign, 1);
    row->addWidget(m_follow);
    column->addLayout(row);
    connect(m_follow, &QPushButton::clicked, this, &CameraWatchBar::follow);
}

void CameraWatchBar::follow()
{
    m_follow->hide();
    m_sign->setText(m_sign->text() + QStringLiteral(" - followed"));
    if (!m_gridBeforeFollow)
        m_gridBeforeFollow = m_grids.active();
    m_followedGrid = m_grids.currentGrid();
    m_grids.active() = followedGrid(*m_gridBeforeFollow, m_watch);
    const QString logText = followedLogText(m_grids.currentGrid(), m_watch);
    m_debugLog.DebugLogWrite(logText);
    emit gridChanged();
    emit followed(logText);
}

void CameraWatchBar::watch(const QImage &picture)
{
    // Another grid chosen since has replaced the followed one already.
    if (m_gridBeforeFollow && m_grids.currentGrid() == m_followedGrid) {
        m_grids.active() = *m_gridBeforeFollow;
        emit gridChanged();
    }
    m_gridBeforeFollow.reset();
    const int n = m_grids.currentGrid();
    m_watch = picture.isNull() ? CameraWatch() : watchCamera(picture, m_grids.active());
    QString warning = wrongGridPictureText(n, gridPictureSize(m_settings, n), picture.size());
    if (warning.isEmpty() && m_watch.pictureMayNotBelong)
        warning = noBuoyNearItsMarkText(n);
    m_warning->setText(warning);
    m_warning->setVisible(!warning.isEmpty());
    m_sign->setText(m_watch.sign);
    m_sign->setStyleSheet(m_watch.moved ? QStringLiteral("color: red; font-weight: bold")
                                        : QString());
    m_follow->setVisible(m_watch.follow.transform.has_value());
}

} // namespace skelvin
