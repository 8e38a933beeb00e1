// TformStart: the modal window in which one list is mailed. It shows the run's stage, progress,
// counters, the message being sent and the modem's signal; it lets the operator change the pause
// and report settings between runs, start and stop a run, and open the journal of the last run.
// The run itself is TMailingRun, which the window owns and shows through TMailingView.
//
// Made once at start-up, after the main window (whose settings, data sets and pictures it uses
// through MainWindowLink), and kept until the program ends; making it starts the log writer,
// freeing it stops the log writer.
//
// Rules:
//  R1. The window closes (Close, Escape, the close box) only while Close is enabled, so never
//      during a run; Escape is swallowed either way. A close refused is forgotten: the window
//      does not shut itself when the run ends.
//  R2. A pause or wait typed into its spin edit is written to the settings within 0..60 s and
//      1..60 min; a text that is not a number leaves the setting as it was.
//  R3. While the window is open and no run goes on, writes the database refused are tried again
//      every few seconds; at its close once more, with a box if they are still refused; and at
//      the program's end (MayEnd), where the operator may try again or end without them.
//  R4. Inside the waits of a run or of such a retry, neither the window nor the timer starts
//      another, and the window does not open again or close until the wait is over.
#pragma once

#include <memory>
#include <string>

#include "gateway/mailing_run.h"
#include "gateway/main_window_link.h"
#include "gateway/serial_link.h"
#include "platform/os/serial_port.h"
#include "skin/controls/buttons.h"
#include "skin/controls/check_box.h"
#include "skin/controls/edits.h"
#include "skin/controls/gauge.h"
#include "skin/controls/group_box.h"
#include "skin/controls/labels.h"
#include "skin/controls/spin_edits.h"
#include "vcl/controls/ext_ctrls.h"
#include "vcl/controls/forms.h"
#include "vcl/system/timer.h"

namespace gateway {

class TformStart : public vcl::TForm, private TMailingView {
public:
    VCL_CLASS(TformStart, vcl::TForm)
    explicit TformStart(vcl::TComponent* owner);
    ~TformStart() override;

    // Opens the window for a list and returns when it has closed; R4: at once, without opening,
    // inside a wait of the window's own.
    void Execute(const std::string& comPort, int listID, const std::string& listName,
                 const std::string& smsText);

    // The port the window talks through: the serial device named by the run unless a test
    // hands in another (the in-process modem). Only between runs.
    void UsePort(os::SerialIo& port);

    // R3: whether the program may end now, once the writes kept are stored or given up.
    bool MayEnd() { return run_->StoreBeforeEnd(); }

    TMailingRun& Run() { return *run_; }
    TSerialLink& Link() { return *link_; }

    // The components, in the order they are made.
    skin::TsGroupBox* gbState;
    skin::TsGauge* prBar;
    skin::TsLabel* labStage;
    vcl::TImage* imgLevel0;
    vcl::TImage* imgLevel1;
    vcl::TImage* imgLevel2;
    vcl::TImage* imgLevel3;
    vcl::TImage* imgLevel4;
    vcl::TImage* imgLevel5;
    skin::TsLabel* labCurNum;
    skin::TsLabel* labSMS;
    skin::TsMemo* memoSMS;
    skin::TsGroupBox* gbSettings;
    skin::TsLabel* labSMSPause;
    skin::TsDecimalSpinEdit* edSMSPause;
    skin::TsCheckBox* chkReport;
    skin::TsLabel* labReportWaitFor;
    skin::TsDecimalSpinEdit* edReportWaitFor;
    skin::TsGroupBox* gbStatistic;
    skin::TsLabel* labAllNumbers;
    skin::TsLabel* labAllNumbersValue;
    skin::TsLabel* labProcessed;
    skin::TsLabel* labProcessedValue;
    skin::TsLabel* labSentOK;
    skin::TsLabel* labSentOKValue;
    skin::TsLabel* labReport;
    skin::TsLabel* labReportValue;
    skin::TsBitBtn* btnShowNumberLog;
    skin::TsBitBtn* btnStart;
    skin::TsBitBtn* btnStop;
    skin::TsBitBtn* btnClose;

    // Event handlers, bound by name.
    void FormCreate(vcl::TObject* Sender);
    void FormDestroy(vcl::TObject* Sender);
    void FormCloseQuery(vcl::TObject* Sender, bool& CanClose);
    void FormKeyPress(vcl::TObject* Sender, char& Key);
    void btnStartClick(vcl::TObject* Sender);
    void btnStopClick(vcl::TObject* Sender);
    void btnCloseClick(vcl::TObject* Sender);
    void btnShowNumberLogClick(vcl::TObject* Sender);
    void chkReportClick(vcl::TObject* Sender);
    void edSMSPauseChange(vcl::TObject* Sender);
    void edReportWaitForChange(vcl::TObject* Sender);
    void tmrStoreTimer(vcl::TObject* Sender);

private:
    // TMailingView
    void SetStage(const std::string& text) override;
    void SetAllNumbers(const std::string& text) override;
    void SetProcessed(const std::string& text) override;
    void SetSentOK(const std::string& text) override;
    void SetReport(const std::string& text) override;
    void SetCurrentNumber(const std::string& text) override;
    void SetMessageText(const std::string& text) override;
    void SetGauge(int progress, int max) override;
    void SetGaugeColor(uint32_t color) override;
    void ShowSignal(int level, const std::string& hint) override;
    void SetButtons(bool start, bool stop, bool close) override;
    void SetSettingsReadOnly(bool readOnly) override;
    void SetJournalEnabled(bool enabled) override;
    int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
    void MessageBeep(unsigned type) override;

    void MakeComponents();
    void MakeRun(os::SerialIo& port);
    void EnableReportControls(bool on, bool withWaitLabel);
    // Has the main window store the settings when they differ from `before`.
    void StoreIfChanged(const TSettings& before);
    // R3: the retry runs while writes are kept and the window is open.
    void WatchUnstored(bool open);

    TMainWindowLink& main_;
    os::SerialPort serialPort_;
    std::unique_ptr<TSerialLink> link_;
    std::unique_ptr<TMailingRun> run_;
    vcl::TTimer* tmrStore_;
};

}  // namespace gateway
