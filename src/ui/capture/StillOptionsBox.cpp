#include "ui/capture/StillOptionsBox.h"

#include "core/common/NumberText.h"
#include "ui/common/Named.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace skelvin {

StillOptionsBox::StillOptionsBox(QWidget *parent) : QWidget(parent)
{
    // Two columns of boxes under the switches, so the main screen with the capture panel still
    // fits a 768-pixel-high display.
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    m_chkAutoInc = named(new QCheckBox(QStringLiteral("AutoIncrement")), "ChkAutoInc");
    m_chkAutoSave = named(new QCheckBox(QStringLiteral("AutoSave")), "ChkAutoSave");
    m_chkProg = named(new QCheckBox(QStringLiteral("Progressive JPG")), "ChkProg");
    grid->addWidget(m_chkAutoInc, 0, 0, 1, 2);
    grid->addWidget(m_chkAutoSave, 0, 2, 1, 2);
    grid->addWidget(m_chkProg, 1, 0, 1, 2);
    int slot = 0;
    auto addBox = [&](QLineEdit *&edit, const char *name, const QString &caption) {
        edit = named(new QLineEdit, name);
        edit->setMinimumWidth(60);
        const int row = 2 + slot / 2;
        const int column = (slot % 2) * 2;
        grid->addWidget(new QLabel(caption), row, column);
        grid->addWidget(edit, row, column + 1);
        ++slot;
    };
    addBox(m_edtCaption, "EdtCaption", QStringLiteral("Caption:"));
    addBox(m_edtPass, "EdtPass", QStringLiteral("Password:"));
    addBox(m_edtCapLeft, "EdtCapLeft", QStringLiteral("CaptionLeft:"));
    addBox(m_edtCapTop, "EdtCapTop", QStringLiteral("CaptionTop:"));
    addBox(m_edtInterval, "EdtInterval", QStringLiteral("Interval:"));
    addBox(m_edtChrom, "EdtChrom", QStringLiteral("ChromFactor:"));
    addBox(m_edtLum, "EdtLum", QStringLiteral("LumFactor:"));
    connect(m_chkAutoSave, &QCheckBox::clicked, this, &StillOptionsBox::autoSaveChanged);
    // A running AutoSave takes a new Interval when the operator leaves the box.
    connect(m_edtInterval, &QLineEdit::editingFinished, this, [this] {
        if (m_chkAutoSave->isChecked())
            emit autoSaveChanged();
    });
}

void StillOptionsBox::showOptions(const StillOptions &still)
{
    m_chkAutoInc->setChecked(still.autoIncrement);
    m_chkAutoSave->setChecked(still.autoSave);
    m_chkProg->setChecked(still.progressiveJpeg);
    m_edtCaption->setText(still.caption);
    m_edtCapLeft->setText(QString::number(still.captionLeft));
    m_edtCapTop->setText(QString::number(still.captionTop));
    m_edtInterval->setText(QString::number(still.intervalMs));
    m_edtChrom->setText(QString::number(still.chromFactor));
    m_edtLum->setText(QString::number(still.lumFactor));
    m_edtPass->setText(still.password);
}

StillOptions StillOptionsBox::readOptions(StillOptions still) const
{
    still.progressiveJpeg = m_chkProg->isChecked();
    still.autoSave = m_chkAutoSave->isChecked();
    still.autoIncrement = m_chkAutoInc->isChecked();
    still.chromFactor = roundedEntry(m_edtChrom->text());
    still.lumFactor = roundedEntry(m_edtLum->text());
    still.intervalMs = roundedEntry(m_edtInterval->text());
    still.password = m_edtPass->text();
    still.captionLeft = roundedEntry(m_edtCapLeft->text());
    still.captionTop = roundedEntry(m_edtCapTop->text());
    still.caption = m_edtCaption->text();
    return still;
}

} // namespace skelvin
