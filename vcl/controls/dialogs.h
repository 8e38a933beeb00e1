// The class library's ready-made dialogs: a message with an OK button, a box that asks for one
// line of text, and the open and save dialogs.
#pragma once

#include <cstdint>
#include <string>

#include "vcl/system/component.h"
#include "vcl/system/set.h"

namespace win {
struct OPENFILENAMEA;
}

namespace vcl {

// A dialog of the system, shown by Execute: true when the operator confirmed it.
class TCommonDialog : public TComponent {
public:
    VCL_CLASS(TCommonDialog, TComponent)
    explicit TCommonDialog(TComponent* owner) : TComponent(owner) {}
    virtual bool Execute() = 0;
};

enum TOpenOption : uint8_t { ofOverwritePrompt, ofFileMustExist };
using TOpenOptions = Set<TOpenOption>;

// The open dialog. Filter is pairs of a title and its masks, all separated by "|"
// ("Текст|*.txt|Все|*.*", masks of one type separated by ";"); FilterIndex counts its types
// from 1 and tells, after Execute, the type in use. FileName is the cp1251 path chosen, and
// stays as it was when the dialog is cancelled.
class TOpenDialog : public TCommonDialog {
public:
    VCL_CLASS(TOpenDialog, TCommonDialog)
    explicit TOpenDialog(TComponent* owner) : TCommonDialog(owner) {}

    const std::string& FileName() const { return fileName_; }
    void SetFileName(const std::string& name) { fileName_ = name; }
    const std::string& Filter() const { return filter_; }
    void SetFilter(const std::string& filter) { filter_ = filter; }
    int FilterIndex() const { return filterIndex_; }
    void SetFilterIndex(int index) { filterIndex_ = index; }
    const std::string& DefaultExt() const { return defaultExt_; }
    void SetDefaultExt(const std::string& ext) { defaultExt_ = ext; }
    const std::string& InitialDir() const { return initialDir_; }
    void SetInitialDir(const std::string& dir) { initialDir_ = dir; }
    const std::string& Title() const { return title_; }
    void SetTitle(const std::string& title) { title_ = title; }
    TOpenOptions Options() const { return options_; }
    void SetOptions(TOpenOptions options) { options_ = options; }

    bool Execute() override;

protected:
    // Shows the system's dialog; the save dialog shows its own.
    virtual bool ShowDialog(win::OPENFILENAMEA& ofn);

private:
    std::string fileName_;
    std::string filter_;
    int filterIndex_ = 1;
    std::string defaultExt_;
    std::string initialDir_;
    std::string title_;
    TOpenOptions options_;
};

// The save dialog: the open dialog asking for a name to write under.
class TSaveDialog : public TOpenDialog {
public:
    VCL_CLASS(TSaveDialog, TOpenDialog)
    explicit TSaveDialog(TComponent* owner) : TOpenDialog(owner) {}

protected:
    bool ShowDialog(win::OPENFILENAMEA& ofn) override;
};

// The kinds of message dialog and the buttons one may carry.
enum TMsgDlgType : uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };
enum TMsgDlgBtn : uint8_t {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp
};
using TMsgDlgButtons = Set<TMsgDlgBtn>;

// A message box with the application's title as caption and an OK button.
void ShowMessage(const std::string& text);

// A dialog with the caption, the prompt above a line of text that starts as `value` (all of it
// selected, so typing replaces it), OK and Cancel. Enter is OK, Escape is Cancel. True and the
// text in `value` for OK; false and `value` untouched otherwise.
bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value);
// InputQuery that gives the text, or `defaultText` when the dialog was cancelled.
std::string InputBox(const std::string& caption, const std::string& prompt,
                     const std::string& defaultText);

}  // namespace vcl
