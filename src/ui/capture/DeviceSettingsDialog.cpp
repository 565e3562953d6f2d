#include "ui/capture/DeviceSettingsDialog.h"

#include "core/capture/CaptureDevice.h"
#include "ui/common/Named.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace skelvin {

DeviceSettingsDialog::DeviceSettingsDialog(CaptureDevice &device, int code, const QString &title,
                                           QWidget *parent)
    : QDialog(parent), m_device(device), m_code(code)
{
    setObjectName(QStringLiteral("DeviceSettingsDialog"));
    setWindowTitle(title);
    auto *layout = new QVBoxLayout(this);
    auto *form = new QFormLayout;
    layout->addLayout(form);
    const std::vector<DeviceSetting> settings = device.DialogSettings(code);
    if (settings.empty())
        form->addRow(new QLabel(QStringLiteral("This device has no settings to change.")));
    for (const DeviceSetting &s : settings) {
        QWidget *editor = nullptr;
        switch (s.kind) {
        case DeviceSetting::Kind::Flag: {
            auto *box = new QCheckBox;
            box->setChecked(s.value != 0);
            connect(box, &QCheckBox::toggled, this,
                    [this, id = s.id](bool on) { apply(id, on ? 1 : 0); });
            editor = box;
            break;
        }
        case DeviceSetting::Kind::Menu: {
            auto *list = new QComboBox;
            list->addItems(s.menuItems);
            list->setCurrentIndex(s.value - s.minimum);
            connect(list, &QComboBox::currentIndexChanged, this,
                    [this, id = s.id, minimum = s.minimum](int i) { apply(id, minimum + i); });
            editor = list;
            break;
        }
        case DeviceSetting::Kind::Integer: {
            auto *row = new QWidget;
            auto *h = new QHBoxLayout(row);
            h->setContentsMargins(0, 0, 0, 0);
            auto *slider = new QSlider(Qt::Horizontal);
            auto *spin = new QSpinBox;
            slider->setRange(s.minimum, s.maximum);
            slider->setSingleStep(std::max(1, s.step));
            slider->setValue(s.value);
            spin->setRange(s.minimum, s.maximum);
            spin->setSingleStep(std::max(1, s.step));
            spin->setValue(s.value);
            slider->setMinimumWidth(220);
            h->addWidget(slider, 1);
            h->addWidget(spin);
            connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
            connect(spin, &QSpinBox::valueChanged, slider, &QSlider::setValue);
            connect(spin, &QSpinBox::valueChanged, this,
                    [this, id = s.id](int v) { apply(id, v); });
            editor = row;
            break;
        }
        }
        editor->setObjectName(s.id);
        editor->setEnabled(!s.readOnly);
        form->addRow(s.name, editor);
    }
    m_status = named(new QLabel, "DialogStatus");
    m_status->setWordWrap(true);
    layout->addWidget(m_status);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::accept);
    layout->addWidget(buttons);
}

void DeviceSettingsDialog::apply(const QString &id, int value)
{
    const CaptureFailure failure = m_device.setDialogSetting(m_code, id, value);
    m_status->setText(failure ? failure->description : QString());
}

void DeviceSettingsDialog::edit(CaptureDevice &device, int code, const QString &title,
                                QWidget *parent)
{
    DeviceSettingsDialog dialog(device, code, title, parent);
    dialog.exec();
}

} // namespace skelvin
