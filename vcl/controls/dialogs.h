// The class library's ready-made dialogs: a message with an OK button, and a box that asks for
// one line of text.
#pragma once

#include <string>

namespace vcl {

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
