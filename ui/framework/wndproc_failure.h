#pragma once
// What a window procedure does with an exception instead of letting it unwind.

#include <exception>

namespace Tessel {

// A C++ exception must never unwind through the system's frames around a window procedure:
// STWndProc catches it and keeps it here (the first one, until taken), and the framework's own
// entry points (Create, DoModal) throw it again once the system's frames are behind them.
void KeepWndProcFailure(std::exception_ptr pFailure);
// Throws the kept exception, if any, and forgets it.
void RethrowWndProcFailure();

} // namespace Tessel
