// RunWhileBusy: runs a blocking job (the game launch's wait) on a worker thread while the
// user-interface thread keeps painting. User input is held back and the wait cursor shows, so
// the window behaves as blocked without freezing; the call returns the job's result once it
// has ended.
#pragma once

#include <functional>

namespace zrt {

bool RunWhileBusy(const std::function<bool()>& job);

}  // namespace zrt
