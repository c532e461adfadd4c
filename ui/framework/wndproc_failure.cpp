#include "ui/framework/wndproc_failure.h"

#include <utility>

namespace Tessel {

namespace {

std::exception_ptr g_pWndProcFailure;

} // namespace

void KeepWndProcFailure(std::exception_ptr pFailure) {
    if (!g_pWndProcFailure)
        g_pWndProcFailure = std::move(pFailure);
}

void RethrowWndProcFailure() {
    if (std::exception_ptr pFailure = std::exchange(g_pWndProcFailure, nullptr))
        std::rethrow_exception(pFailure);
}

} // namespace Tessel
