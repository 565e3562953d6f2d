#include "ui/logs/frmManual.h"

#include "core/app/AppContext.h"
#include "core/app/Navigator.h"
#include "core/common/RtfReader.h"
#include "ui/common/Maximized.h"
#include "ui/common/Named.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFrame>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace skelvin {

namespace {

// Lines of the manual are kept to about this many average characters.
constexpr int kLineCharacters = 110;

} // namespace

frmManual::frmManual(AppContext &context, QWidget *parent) : QWidget(parent), m_context(context)
{
    setObjectName(QStringLiteral("frmManual"));
    setWindowTitle(QStringLiteral("Skelvin 2005 Manual"));

    m_title = named(new QLabel(QStringLiteral("Skelvin 2005 Manual")), "Label1");
    QFont titleFont = m_title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    m_title->setFont(titleFont);

    m_richTextBox = named(new QTextBrowser, "RichTextBox1");
    m_richTextBox->setReadOnly(true);
    m_richTextBox->setOpenLinks(false);
    m_richTextBox->viewport()->installEventFilter(this);

    m_done = named(new QPushButton(QStringLiteral("Done")), "cmdDone");
    m_done->setMinimumWidth(120);
    connect(m_done, &QPushButton::clicked, this, &frmManual::cmdDone_Click);

    // The box is 100 twips narrower than the screen: half of it either side.
    const int narrowerPixels = int(std::lround(100.0 * logicalDpiX() / 1440.0));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(narrowerPixels / 2, 6, narrowerPixels - narrowerPixels / 2, 8);
    auto *top = new QHBoxLayout;
    top->setContentsMargins(8, 0, 8, 0);
    top->addWidget(m_title);
    top->addStretch();
    top->addWidget(m_done);
    layout->addLayout(top);
    layout->addWidget(m_richTextBox, 1);

    showMaximizedWhenShown(this);
}

void frmManual::showEvent(QShowEvent *event)
{
    // Loaded once; a manual that could not be read is tried again at the next showing, so a
    // file put in place meanwhile is found.
    if (!m_loaded)
        Form_Load();
    QWidget::showEvent(event);
}

void frmManual::Form_Load()
{
    QTextDocument *document = m_richTextBox->document();
    const QString path = m_context.paths().appFile(QString::fromLatin1(kManualFile));
    const Failure failure = RtfReader::readFile(path, *document);
    m_loaded = !failure.has_value();
    if (failure) {
        m_richTextBox->setPlainText(QStringLiteral("The manual %1 cannot be shown.\n\n%2")
                                        .arg(QString::fromLatin1(kManualFile), *failure));
    }
    m_richTextBox->moveCursor(QTextCursor::Start);
    fitTextColumn();
}

void frmManual::cmdDone_Click()
{
    m_context.navigator().hide(ScreenId::Manual);
}

bool frmManual::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_richTextBox->viewport() && event->type() == QEvent::Resize)
        fitTextColumn();
    return QWidget::eventFilter(watched, event);
}

void frmManual::fitTextColumn()
{
    const int viewportWidth = m_richTextBox->viewport()->width();
    const int column = m_richTextBox->fontMetrics().averageCharWidth() * kLineCharacters;
    const qreal side = std::max(12, (viewportWidth - column) / 2);
    QTextFrame *root = m_richTextBox->document()->rootFrame();
    QTextFrameFormat format = root->frameFormat();
    if (format.leftMargin() == side && format.rightMargin() == side)
        return;
    format.setLeftMargin(side);
    format.setRightMargin(side);
    root->setFrameFormat(format);
}

} // namespace skelvin
