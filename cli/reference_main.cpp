// Writes to standard output what the manual page and the shell take from the batch tool's
// declarations, for the build: tarnwick-cli-reference synopsis|commands|options|bash-completion
#include "cli/BatchCommands.h"
#include "cli/Reference.h"

#include <iostream>
#include <string>

int main(int argc, char** argv) {
    const auto line = tarnwick::batchCommandLine();
    const std::string part = argc == 2 ? argv[1] : "";
    if (part == "synopsis")
        std::cout << tarnwick::manualSynopsis(line->program());
    else if (part == "commands")
        std::cout << tarnwick::manualCommands(line->program());
    else if (part == "options")
        std::cout << tarnwick::manualOptions(line->program());
    else if (part == "bash-completion")
        std::cout << tarnwick::bashCompletion(*line);
    else {
        std::cerr << "usage: tarnwick-cli-reference synopsis|commands|options|bash-completion\n";
        return 2;
    }
    return std::cout.flush() ? 0 : 1;
}
