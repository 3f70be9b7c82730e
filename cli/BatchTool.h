#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace tarnwick {

// The batch tool's exit codes.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1; // a refusal, faulty cells or an error
inline constexpr int kExitUsage = 2;

// Runs the batch tool on its arguments (without the program name); results to out, messages to
// err. progressToTerminal asks for progress lines on err during long calculations.
int runBatchTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                 bool progressToTerminal = false);

} // namespace tarnwick
