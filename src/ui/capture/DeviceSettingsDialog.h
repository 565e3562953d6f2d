#pragma once

#include <QDialog>

class QLabel;

namespace skelvin {

class CaptureDevice;

// A settings dialog of the capture control (the camera's own controls, the compressor's
// settings, the audio format): a slider and box for each number, a check box for each flag and
// a list for each choice. Every change goes to the device at once; a refusal is shown in the
// dialog and the control goes back to the device's value.
class DeviceSettingsDialog : public QDialog
{
    Q_OBJECT

public:
    DeviceSettingsDialog(CaptureDevice &device, int code, const QString &title,
                         QWidget *parent = nullptr);

    // Shows the dialog of `code` until the operator closes it.
    static void edit(CaptureDevice &device, int code, const QString &title, QWidget *parent);

private:
    void apply(const QString &id, int value);

    CaptureDevice &m_device;
    int m_code;
    QLabel *m_status = nullptr;
};

} // namespace skelvin
