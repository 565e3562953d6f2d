#include "ui/logs/SessionLogViewer.h"

#include "core/app/AppContext.h"
#include "core/logs/SessionLog.h"
#include "ui/common/Named.h"
#include "ui/logs/LogList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

namespace skelvin {

SessionLogViewer::SessionLogViewer(AppContext &context, const QString &type,
                                   const Controls &controls, QWidget *owner)
    : QWidget(owner, Qt::Window), m_context(context), m_listing(type)
{
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    auto *logRow = new QHBoxLayout;
    logRow->addWidget(named(new QLabel(QStringLiteral("Log File to View")), "Label1"));
    m_logBox = named(new QLineEdit, controls.logBox);
    // The log shown is the one chosen with the button; typing here would change nothing.
    m_logBox->setReadOnly(true);
    logRow->addWidget(m_logBox, 1);
    layout->addLayout(logRow);

    m_list = named(new LogList, controls.list);
    QFont fixed = m_list->font();
    // The log's lines are laid out in columns of blanks; a fixed-pitch font keeps them lined up.
    fixed.setFamily(QStringLiteral("Monospace"));
    fixed.setStyleHint(QFont::TypeWriter);
    m_list->setFont(fixed);
    layout->addWidget(m_list, 1);

    auto *instruction = named(new QLabel(controls.instruction), "Label2");
    instruction->setWordWrap(true);
    layout->addWidget(instruction);
    m_fileBox = named(new QLineEdit, controls.fileBox);
    layout->addWidget(m_fileBox);

    m_buttons = new QHBoxLayout;
    auto *choose = named(new QPushButton(controls.chooseCaption), controls.chooseButton);
    auto *viewButton = named(new QPushButton(controls.viewCaption), controls.viewButton);
    m_buttons->addWidget(choose);
    m_buttons->addWidget(viewButton);
    m_buttons->addStretch();
    layout->addLayout(m_buttons);

    connect(choose, &QPushButton::clicked, this, &SessionLogViewer::chooseLogFile);
    connect(viewButton, &QPushButton::clicked, this, [this] { view(); });
    connect(m_list, &QListWidget::currentRowChanged, this, &SessionLogViewer::lineClicked);
    connect(m_list, &QListWidget::itemClicked, this,
            [this](QListWidgetItem *item) { lineClicked(m_list->row(item)); });
    connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        lineClicked(m_list->row(item));
        view();
    });

    const QString today = !context.sessionLogPath.isEmpty()
                              ? context.sessionLogPath
                              : sessionLogPath(context.videoDirectory, context.clock().dateText());
    m_listing.openAtStart(today);
    showListing();
    // Wide enough for the day's lines where the screen allows (frame, margins and scroll bar
    // besides the lines).
    const int wanted = m_list->horizontalExtent() + 60;
    const int room = screen() ? screen()->availableGeometry().width() - 40 : wanted;
    resize(std::max(760, std::min(wanted, room)), 460);
}

void SessionLogViewer::showListing()
{
    m_logBox->setText(m_listing.logPath());
    m_list->clear();
    m_list->addItems(m_listing.lines());
    FitListHorizontalExtent(*m_list);
}

void SessionLogViewer::chooseLogFile()
{
    m_listing.choose(
        m_context.prompter().chooseFile(SessionLogListing::logDialog(m_context.videoDirectory)));
    showListing();
}

void SessionLogViewer::lineClicked(int row)
{
    if (row < 0)
        return;
    m_listing.select(row);
    m_fileBox->setText(m_listing.chosenFile());
}

QString SessionLogViewer::fileToView() const
{
    return m_fileBox->text();
}

void SessionLogViewer::addExitButton(const QString &caption)
{
    auto *dismiss = named(new QPushButton(caption), "cmdDismiss");
    m_buttons->addWidget(dismiss);
    connect(dismiss, &QPushButton::clicked, this, &QWidget::close);
}

} // namespace skelvin
