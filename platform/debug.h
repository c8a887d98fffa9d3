// Debugger presence and breakpoints.
#pragma once

namespace plat {
bool DebuggerAttached();
// Stops in an attached debugger; does nothing without one.
void DebugBreak();
}  // namespace plat
