// vexlo-solve: the solver from the command line. The whole command lives
// here, apart from main(), so that tests can run it with their own streams.
#pragma once

#include <iosfwd>
#include <span>
#include <string_view>

namespace vexlo {

inline constexpr int exitSuccess = 0;
inline constexpr int exitUsage = 2;

// Runs the command on its arguments (without the program name) and returns
// its exit status.
int runSolveCommand(std::span<const std::string_view> args, std::ostream& out, std::ostream& err);

// Ends the current and any further solve of a running command; safe to call
// from a signal handler or another thread.
void stopSolveCommand();

}
