#include "cli/BatchTool.h"
#include "io/InterruptedSaves.h"

#include <clocale>
#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    // Numbers and dates read from workbooks follow the user's regional settings, as in the window.
    std::setlocale(LC_ALL, "");
    std::ios::sync_with_stdio(false);
    tarnwick::installInterruptedSaveCleanup();
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const int status =
        tarnwick::runBatchTool(arguments, std::cout, std::cerr, isatty(STDERR_FILENO) == 1);
    // A full disk or a closed standard output fails the run, as any failed save does.
    std::cout.flush();
    if (!std::cout) {
        std::cerr << "tarnwick-cli: the standard output cannot be written\n";
        return 1;
    }
    return status;
}
