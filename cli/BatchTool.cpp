#include "cli/BatchTool.h"

#include "cli/BatchCommands.h"

namespace tarnwick {

int runBatchTool(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                 bool progressToTerminal) {
    const auto line = batchCommandLine();
    try {
        return line->run(arguments, {out, err, progressToTerminal});
    } catch (const UsageError& error) {
        err << "tarnwick-cli: " << error.what() << "\n\n" << line->help();
        return kExitUsage;
    } catch (const std::exception& error) {
        err << "tarnwick-cli: " << error.what() << "\n";
        return kExitFailure;
    }
}

} // namespace tarnwick
