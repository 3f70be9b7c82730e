#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace tarnwick {
namespace {

struct ProgramRun {
    int exitCode = -1;
    std::string output; // standard output and error together
};

// The program run without a display, so that no window can open, with these variables set.
ProgramRun runWithoutDisplay(const std::string& arguments, const std::string& variables = "") {
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM " +
                                variables + " '" + std::string(TARNWICK_PROGRAM) + "' " +
                                arguments + " 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {};
    ProgramRun run;
    std::array<char, 256> buffer{};
    while (fgets(buffer.data(), buffer.size(), pipe))
        run.output += buffer.data();
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

TEST(ProgramStart, AnswersItsCommandLineAndSaysWhenItHasNoDisplay) {
    const struct {
        const char* arguments;
        const char* variables;
        int exitCode;
        const char* outputStart;
    } cases[] = {
        {"", "LC_ALL=C", 1,
         "Tarnwick needs a graphical display: no display is set (DISPLAY and "
         "WAYLAND_DISPLAY are empty).\n"},
        {"", "LC_ALL=ru_RU.UTF-8", 1,
         "Для работы Tarnwick нужен графический дисплей: дисплей не задан (DISPLAY и "
         "WAYLAND_DISPLAY пусты).\n"},
        {"database.xls", "", 1, "Tarnwick needs a graphical display"},
        {"--help", "", 0, "Usage: "},
        {"-h", "", 0, "Usage: "},
        {"--version", "", 0, "tarnwick " TARNWICK_VERSION "\n"},
    };
    for (const auto& c : cases) {
        const ProgramRun run = runWithoutDisplay(c.arguments, c.variables);
        EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments;
        EXPECT_TRUE(run.output.starts_with(c.outputStart)) << c.arguments << ": " << run.output;
    }
    EXPECT_NE(runWithoutDisplay("--help").output.find("[file]"), std::string::npos);
}

} // namespace
} // namespace tarnwick
