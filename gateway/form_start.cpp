#include "gateway/form_start.h"

#include "gateway/form_building.h"
#include "gateway/log_thread.h"
#include "gateway/program_images.h"
#include "platform/os/cp_literal.h"
#include "platform/user/message_box.h"

namespace gateway {

namespace {

constexpr char kEscape = 27;

void SetUpSpinEdit(skin::TsDecimalSpinEdit* edit, int lo, int hi) {
    edit->SetIncrement(1);
    edit->SetMinValue(lo);
    edit->SetMaxValue(hi);
    edit->SetDecimalPlaces(0);
}

constexpr uint32_t kStoreRetryMs = 5000;

}  // namespace

TformStart::TformStart(vcl::TComponent* owner)
    : vcl::TForm(owner), main_(TheMainWindow("The mailing window")) {
    SetUpDialog(this, "formStart", "Рассылка СМС"_cp, 480, 468);
    KeyPreview = true;
    MakeComponents();
    MakeRun(serialPort_);
    OnCreate = {this, &TformStart::FormCreate};
    OnDestroy = {this, &TformStart::FormDestroy};
    OnCloseQuery = {this, &TformStart::FormCloseQuery};
    OnKeyPress = {this, &TformStart::FormKeyPress};
    tmrStore_ = new vcl::TTimer(this);
    tmrStore_->SetEnabled(false);
    tmrStore_->SetInterval(kStoreRetryMs);
    tmrStore_->OnTimer = {this, &TformStart::tmrStoreTimer};
}

TformStart::~TformStart() = default;

void TformStart::MakeComponents() {
    using vcl::Rect;
    gbState = MakeComponent<skin::TsGroupBox>(this, this, "gbState", Rect(8, 4, 472, 214),
                                              "Ход работы"_cp);
    prBar = MakeComponent<skin::TsGauge>(this, gbState, "prBar", Rect(12, 44, 452, 64));
    prBar->SetSuffix("%");
    prBar->SetKind(skin::gkHorizontalBar);
    labStage = MakeComponent<skin::TsLabel>(this, gbState, "labStage", Rect(12, 22, 420, 38),
                                            "Этап: рассылка СМС"_cp);
    vcl::TImage** levels[kSignalLevels] = {&imgLevel0, &imgLevel1, &imgLevel2,
                                           &imgLevel3, &imgLevel4, &imgLevel5};
    for (int k = 0; k < kSignalLevels; ++k) {
        // At design time the pictures stand side by side; the one shown takes imgLevel5's place.
        const int left = 436 - (kSignalLevels - 1 - k) * 18;
        const std::string name = "imgLevel" + std::to_string(k);
        vcl::TImage* img =
            MakeComponent<vcl::TImage>(this, gbState, name.c_str(), Rect(left, 20, left + 16, 36));
        LoadSignalPicture(k, img->Picture());
        img->SetTransparent(true);
        img->SetVisible(false);
        img->SetShowHint(true);
        *levels[k] = img;
    }
    labCurNum = MakeComponent<skin::TsLabel>(this, gbState, "labCurNum", Rect(12, 72, 452, 88),
                                             "Текущий номер:"_cp);
    labSMS = MakeComponent<skin::TsLabel>(this, gbState, "labSMS", Rect(12, 94, 452, 110),
                                          "Текст СМС:"_cp);
    memoSMS = MakeComponent<skin::TsMemo>(this, gbState, "memoSMS", Rect(12, 112, 452, 200));
    memoSMS->SetReadOnly(true);
    memoSMS->SetWordWrap(true);
    memoSMS->SetScrollBars(vcl::ssVertical);

    gbSettings = MakeComponent<skin::TsGroupBox>(this, this, "gbSettings", Rect(8, 218, 472, 318),
                                                 "Настройки"_cp);
    labSMSPause = MakeComponent<skin::TsLabel>(this, gbSettings, "labSMSPause",
                                               Rect(12, 24, 340, 40), "Пауза между СМС (сек.)"_cp);
    edSMSPause = MakeComponent<skin::TsDecimalSpinEdit>(this, gbSettings, "edSMSPause",
                                                        Rect(372, 20, 452, 41));
    SetUpSpinEdit(edSMSPause, kMinSMSDelay, kMaxSMSDelay);
    edSMSPause->OnChange = {this, &TformStart::edSMSPauseChange};
    chkReport = MakeComponent<skin::TsCheckBox>(
        this, gbSettings, "chkReport", Rect(10, 46, 340, 66), "Запросить отчет о доставке"_cp);
    chkReport->OnClick = {this, &TformStart::chkReportClick};
    labReportWaitFor =
        MakeComponent<skin::TsLabel>(this, gbSettings, "labReportWaitFor", Rect(12, 74, 360, 90),
                                     "После рассылки ждать отчеты о доставке (мин.)"_cp);
    edReportWaitFor = MakeComponent<skin::TsDecimalSpinEdit>(this, gbSettings, "edReportWaitFor",
                                                             Rect(372, 70, 452, 91));
    SetUpSpinEdit(edReportWaitFor, kMinReportWaitMins, kMaxReportWaitMins);
    edReportWaitFor->OnChange = {this, &TformStart::edReportWaitForChange};

    gbStatistic = MakeComponent<skin::TsGroupBox>(this, this, "gbStatistic", Rect(8, 322, 472, 424),
                                                  "Статистика"_cp);
    struct Counter {
        skin::TsLabel** label;
        skin::TsLabel** value;
        const char* name;
        const char* valueName;
        std::string caption;
    };
    const Counter counters[] = {
        {&labAllNumbers, &labAllNumbersValue, "labAllNumbers", "labAllNumbersValue",
         "Всего номеров:"_cp},
        {&labProcessed, &labProcessedValue, "labProcessed", "labProcessedValue", "Обработано:"_cp},
        {&labSentOK, &labSentOKValue, "labSentOK", "labSentOKValue", "Успешно отправлено:"_cp},
        {&labReport, &labReportValue, "labReport", "labReportValue",
         "Получено отчетов о доставке:"_cp},
    };
    int top = 22;
    for (const Counter& c : counters) {
        *c.label = MakeComponent<skin::TsLabel>(this, gbStatistic, c.name,
                                                Rect(12, top, 260, top + 16), c.caption);
        *c.value = MakeComponent<skin::TsLabel>(this, gbStatistic, c.valueName,
                                                Rect(268, top, 452, top + 16), "0 (0%)");
        top += 19;
    }
    labAllNumbersValue->SetCaption("0");

    btnShowNumberLog = MakeComponent<skin::TsBitBtn>(this, this, "btnShowNumberLog",
                                                     Rect(8, 432, 108, 460), "Журнал"_cp);
    btnShowNumberLog->OnClick = {this, &TformStart::btnShowNumberLogClick};
    btnStart =
        MakeComponent<skin::TsBitBtn>(this, this, "btnStart", Rect(208, 432, 292, 460), "Старт"_cp);
    btnStart->OnClick = {this, &TformStart::btnStartClick};
    btnStop =
        MakeComponent<skin::TsBitBtn>(this, this, "btnStop", Rect(298, 432, 382, 460), "Стоп"_cp);
    btnStop->OnClick = {this, &TformStart::btnStopClick};
    btnClose = MakeComponent<skin::TsBitBtn>(this, this, "btnClose", Rect(388, 432, 472, 460),
                                             "Закрыть"_cp);
    btnClose->OnClick = {this, &TformStart::btnCloseClick};
}

void TformStart::MakeRun(os::SerialIo& port) {
    run_.reset();
    link_ = std::make_unique<TSerialLink>(port);
    link_->ProcessMessages = [] { vcl::Application()->ProcessMessages(); };
    link_->ShowMessage = [this](const std::string& text, const std::string& caption,
                                unsigned flags) { MessageBox(text, caption, flags); };
    link_->WriteLog = WriteToLog;
    run_ = std::make_unique<TMailingRun>(*link_, main_.DataSets(), main_.Settings(),
                                         static_cast<TMailingView&>(*this));
}

void TformStart::UsePort(os::SerialIo& port) {
    MakeRun(port);
}

void TformStart::Execute(const std::string& comPort, int listID, const std::string& listName,
                         const std::string& smsText) {
    if (run_->Busy()) return;  // R4
    const TSettings& s = main_.Settings();
    const bool report = s.ReportRequire;
    edSMSPause->SetValue(s.SMSDelay);
    edReportWaitFor->SetValue(s.ReportWaitForMins);
    chkReport->SetChecked(report);
    EnableReportControls(report, false);
    run_->Reset(comPort, listID, listName, smsText);
    WatchUnstored(true);
    ShowModal();
    WatchUnstored(false);
    const db::TMainDataSets data = main_.DataSets();
    data.Query.Close();
    data.Query2.Close();
    data.Query3.Close();
}

void TformStart::EnableReportControls(bool on, bool withWaitLabel) {
    edReportWaitFor->SetEnabled(on);
    labReport->SetEnabled(on);
    labReportValue->SetEnabled(on);
    if (withWaitLabel) labReportWaitFor->SetEnabled(on);
}

// ---- event handlers ----

void TformStart::FormCreate(vcl::TObject*) {
    StartLogThread();
    btnShowNumberLog->SetImages(main_.AlphaImageList());
    btnShowNumberLog->SetImageIndex(piJournal);
}

void TformStart::FormDestroy(vcl::TObject*) {
    StopLogThread();
}

void TformStart::FormCloseQuery(vcl::TObject*, bool& CanClose) {
    CanClose = btnClose->Enabled() && !run_->Busy();  // R4
    if (CanClose) run_->StoreUnstored("Запись будет повторена перед следующей рассылкой."_cp);
}

void TformStart::WatchUnstored(bool open) {
    tmrStore_->SetEnabled(open && run_->HasUnstored());
}

void TformStart::tmrStoreTimer(vcl::TObject*) {
    if (btnStart->Enabled()) run_->StoreUnstored();  // not from inside a run's waits
    WatchUnstored(true);
}

void TformStart::FormKeyPress(vcl::TObject*, char& Key) {
    if (Key != kEscape) return;
    Key = 0;
    if (btnClose->Enabled()) Close();
}

void TformStart::btnStartClick(vcl::TObject*) {
    run_->btnStartClick();
    WatchUnstored(true);
}

void TformStart::btnStopClick(vcl::TObject*) {
    run_->btnStopClick();
}

void TformStart::btnCloseClick(vcl::TObject*) {
    Close();
}

void TformStart::btnShowNumberLogClick(vcl::TObject*) {
    main_.ShowForMailing(run_->IMEI, run_->StartTime);
}

void TformStart::StoreIfChanged(const TSettings& before) {
    if (!(main_.Settings() == before)) main_.SettingsChanged();
}

void TformStart::chkReportClick(vcl::TObject*) {
    const TSettings before = main_.Settings();
    main_.Settings().ReportRequire = chkReport->Checked();
    EnableReportControls(chkReport->Checked(), true);
    StoreIfChanged(before);
}

void TformStart::edSMSPauseChange(vcl::TObject*) {
    TSettings& s = main_.Settings();
    const TSettings before = s;
    s.SMSDelay = SettingFromText(edSMSPause->Text(), s.SMSDelay, kMinSMSDelay, kMaxSMSDelay);
    StoreIfChanged(before);
}

void TformStart::edReportWaitForChange(vcl::TObject*) {
    TSettings& s = main_.Settings();
    const TSettings before = s;
    s.ReportWaitForMins = SettingFromText(edReportWaitFor->Text(), s.ReportWaitForMins,
                                          kMinReportWaitMins, kMaxReportWaitMins);
    StoreIfChanged(before);
}

// ---- what the run shows ----

void TformStart::SetStage(const std::string& text) {
    labStage->SetCaption(text);
}

void TformStart::SetAllNumbers(const std::string& text) {
    labAllNumbersValue->SetCaption(text);
}

void TformStart::SetProcessed(const std::string& text) {
    labProcessedValue->SetCaption(text);
}

void TformStart::SetSentOK(const std::string& text) {
    labSentOKValue->SetCaption(text);
}

void TformStart::SetReport(const std::string& text) {
    labReportValue->SetCaption(text);
}

void TformStart::SetCurrentNumber(const std::string& text) {
    labCurNum->SetCaption(text);
}

void TformStart::SetMessageText(const std::string& text) {
    vcl::TStrings* lines = memoSMS->Lines();
    lines->Clear();
    if (!text.empty()) lines->Add(text);
}

void TformStart::SetGauge(int progress, int max) {
    // The maximum first: a progress above the old maximum would be cut to it.
    if (progress > prBar->MaxValue()) {
        prBar->SetMaxValue(max);
        prBar->SetProgress(progress);
    } else {
        prBar->SetProgress(progress);
        prBar->SetMaxValue(max);
    }
}

void TformStart::SetGaugeColor(uint32_t color) {
    prBar->SetForeColor(static_cast<vcl::TColor>(color));
}

void TformStart::ShowSignal(int level, const std::string& hint) {
    const std::string shown = "imgLevel" + std::to_string(level);
    for (int i = 0; i < gbState->ControlCount(); ++i) {
        auto* img = dynamic_cast<vcl::TImage*>(gbState->Controls(i));
        if (!img) continue;
        if (img->Name() == shown) {
            img->SetBounds(imgLevel5->Left(), imgLevel5->Top(), img->Width(), img->Height());
            img->SetHint(hint);
            img->SetVisible(true);
        } else {
            img->SetVisible(false);
        }
    }
}

void TformStart::SetButtons(bool start, bool stop, bool close) {
    // R1: a close asked for during the run was refused then. The modal loop sees the request
    // only when the run's handler returns, so it is forgotten here, before Close enables it.
    if (close && !btnClose->Enabled()) SetModalResult(vcl::mrNone);
    btnStart->SetEnabled(start);
    btnStop->SetEnabled(stop);
    btnClose->SetEnabled(close);
}

void TformStart::SetSettingsReadOnly(bool readOnly) {
    edSMSPause->SetReadOnly(readOnly);
    edReportWaitFor->SetReadOnly(readOnly);
    chkReport->SetReadOnly(readOnly);
}

void TformStart::SetJournalEnabled(bool enabled) {
    btnShowNumberLog->SetEnabled(enabled);
}

int TformStart::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
    // Closed, the window leaves its boxes (at the program's end) to the main window.
    vcl::TCustomForm* main = vcl::Application()->MainForm();
    const win::HWND owner = Visible() || !main ? Handle() : main->Handle();
    return win::MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

void TformStart::MessageBeep(unsigned type) {
    win::MessageBeep(type);
}

}  // namespace gateway
