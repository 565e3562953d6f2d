#pragma once

#include "core/capture/shared/CaptureTypes.h"

#include <QWidget>

class QCheckBox;
class QLineEdit;

namespace skelvin {

// The still-frame options of the capture panel: AutoIncrement, AutoSave, Progressive JPG and
// the caption, password, interval and JPEG factor boxes, shown from the control's still
// options and read back into them.
class StillOptionsBox : public QWidget
{
    Q_OBJECT

public:
    explicit StillOptionsBox(QWidget *parent = nullptr);

    void showOptions(const StillOptions &options);
    // `options` with the boxes' values put in (numbers to the nearest whole).
    StillOptions readOptions(StillOptions options) const;

signals:
    // AutoSave was switched, or its Interval changed while it runs: the control takes the
    // options at once.
    void autoSaveChanged();

private:
    QCheckBox *m_chkAutoInc = nullptr;
    QCheckBox *m_chkAutoSave = nullptr;
    QCheckBox *m_chkProg = nullptr;
    QLineEdit *m_edtCaption = nullptr;
    QLineEdit *m_edtCapLeft = nullptr;
    QLineEdit *m_edtCapTop = nullptr;
    QLineEdit *m_edtInterval = nullptr;
    QLineEdit *m_edtChrom = nullptr;
    QLineEdit *m_edtLum = nullptr;
    QLineEdit *m_edtPass = nullptr;
};

} // namespace skelvin
