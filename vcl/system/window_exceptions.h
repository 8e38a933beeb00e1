// Where exceptions raised inside a window procedure go. They must not unwind through the
// windowing layer: the application installs a handler (it shows them in a message box); without
// one they propagate to the caller of the message loop, as any unhandled error.
#pragma once

#include <exception>

namespace vcl {

using TWindowExceptionHandler = void (*)(std::exception_ptr);
void SetWindowExceptionHandler(TWindowExceptionHandler handler);

// Hands `error` to the installed handler, or rethrows it when there is none.
void HandleWindowException(std::exception_ptr error);

}  // namespace vcl
