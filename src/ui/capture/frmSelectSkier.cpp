#include "ui/capture/frmSelectSkier.h"

#include "core/app/AppContext.h"
#include "core/common/PictureSize.h"
#include "core/common/SkierNamesFile.h"
#include "ui/common/Named.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace skelvin {

namespace {

// Where the list stands on the screen, in twips from its top-left corner: beside the capture
// screen's name box.
constexpr double kLeftTwips = 2280;
constexpr double kTopTwips = 120;

} // namespace

frmSelectSkier::frmSelectSkier(AppContext &context, QWidget *owner)
    : QWidget(owner, Qt::Window), m_context(context)
{
    setObjectName(QStringLiteral("frmSelectSkier"));
    setWindowTitle(QStringLiteral("Select A Skier"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        named(new QLabel(QStringLiteral("Double Click on Skier Name to select it")), "Label1"));
    m_lstSkiers = named(new QListWidget, "lstSkiers");
    layout->addWidget(m_lstSkiers, 1);
    auto *noSelect = named(new QPushButton(QStringLiteral("No Selection")), "cmdNoSelect");
    layout->addWidget(noSelect);
    resize(300, 420);

    connect(m_lstSkiers, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem *item) { lstSkiers_DblClick(m_lstSkiers->row(item)); });
    connect(noSelect, &QPushButton::clicked, this, &frmSelectSkier::cmdNoSelect_Click);
    Form_Load();
}

void frmSelectSkier::Form_Load()
{
    move(qRound(kLeftTwips / TwipsPerPixel), qRound(kTopTwips / TwipsPerPixel));
    m_lstSkiers->clear();
    const QString path = m_context.paths().appFile(SkierNamesFile::kFileName);
    const Result<QStringList> names = SkierNamesFile::readNames(path);
    if (!names) {
        // The capture screen found the file a moment ago; it went or cannot be read since.
        m_context.prompter().inform(QStringLiteral("The skier names could not be read: ") +
                                        names.error(),
                                    MessageIcon::Exclamation);
        return;
    }
    m_lstSkiers->addItems(names.value());
}

void frmSelectSkier::lstSkiers_DblClick(int row)
{
    if (row < 0)
        return;
    const QString name = m_lstSkiers->item(row)->text();
    close();
    emit skierChosen(name);
}

void frmSelectSkier::cmdNoSelect_Click()
{
    close();
}

} // namespace skelvin
