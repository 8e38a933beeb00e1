// TformGSM: the dialog in which the operator chooses the modem's serial port from the ports the
// system knows (or types one), and tests a port before choosing it: the modem is asked for its
// IMEI and its signal, its replies are shown in the log box, and one message tells how it went.
// The port chosen becomes the COMPort setting.
#pragma once

#include <string>

#include "gateway/modem_test.h"
#include "platform/os/serial_port.h"
#include "skin/controls/buttons.h"
#include "skin/controls/combo_box.h"
#include "skin/controls/edits.h"
#include "vcl/controls/forms.h"

namespace gateway {

class TformGSM : public vcl::TForm, private TModemTestView {
public:
    VCL_CLASS(TformGSM, vcl::TForm)
    explicit TformGSM(vcl::TComponent* owner);

    // Shows the dialog with `portName` in the combo box; when the operator chooses a port,
    // `portName` becomes it. The main window passes its COMPort.
    void Execute(std::string& portName);

    // Fills the combo box with the system's serial ports; when their list cannot be read the
    // box keeps its items.
    void FillPortList();

    // Where the system lists its serial ports, and the port the test talks through (the serial
    // device named in the box unless a test hands in another).
    std::string SysClassTty = "/sys/class/tty";
    void UsePort(os::SerialIo& port) { port_ = &port; }

    bool Selected = false;

    // The components, in the order they are made.
    skin::TsComboBox* cbCOM;  // with its label above it, as memoLog
    skin::TsBitBtn* btnTest;
    skin::TsMemo* memoLog;
    skin::TsBitBtn* btnSelect;
    skin::TsBitBtn* btnCancel;

    // Event handlers, bound by name.
    void btnTestClick(vcl::TObject* Sender);
    void btnSelectClick(vcl::TObject* Sender);

private:
    // TModemTestView
    void ClearLog() override;
    void AddLogLine(const std::string& line) override;
    void Repaint() override;  // the form's own as well
    void MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;

    os::SerialPort serialPort_;
    os::SerialIo* port_ = &serialPort_;
};

}  // namespace gateway
