#include "vcl/system/window_exceptions.h"

namespace vcl {

namespace {
TWindowExceptionHandler gHandler = nullptr;
}  // namespace

void SetWindowExceptionHandler(TWindowExceptionHandler handler) {
    gHandler = handler;
}

void HandleWindowException(std::exception_ptr error) {
    if (!gHandler) std::rethrow_exception(error);
    gHandler(error);
}

}  // namespace vcl
