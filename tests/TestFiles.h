#pragma once

#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace tarnwick::testing_files {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A path in the temporary folder that no other test process uses: ctest runs tests side by side.
inline std::filesystem::path scratchPath(const std::string& name) {
    return std::filesystem::temp_directory_path() / (name + "-" + std::to_string(::getpid()));
}

// Runs the write with the disk "full" after the given number of bytes, for this process only,
// and returns the message of the error it raised (empty when none).
template <typename Write> std::string errorWithDiskFullAfter(rlim_t bytes, Write write) {
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = saved;
    limited.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limited);
    std::string message;
    try {
        write();
    } catch (const std::exception& error) {
        message = error.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    return message;
}

inline void writeFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kSanitized = true; // the sanitizers reserve far more address space
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kSanitized = true;
#else
inline constexpr bool kSanitized = false;
#endif
#else
inline constexpr bool kSanitized = false;
#endif

// Runs run() -> std::string in a child process whose address space is limited to the given
// bytes, and returns its result, or what ended the child. A run that takes more memory fails its
// allocation there. Under the sanitizers it runs here, without the limit.
template <typename Run> std::string withinMemoryCeiling(rlim_t bytes, Run run) {
    if (kSanitized)
        return run();
    int channel[2];
    if (::pipe(channel) != 0)
        return "no pipe";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const rlimit limit{bytes, bytes};
        ::setrlimit(RLIMIT_AS, &limit);
        ::alarm(300); // a hang ends as a failure, not a stuck test run
        std::string result;
        try {
            result = run();
        } catch (const std::exception& error) {
            result = std::string("exception: ") + error.what();
        }
        for (std::size_t done = 0; done < result.size();) {
            const ssize_t n = ::write(channel[1], result.data() + done, result.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        result.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        return "the child ended by signal " + std::to_string(WTERMSIG(status));
    return result;
}

// What the code prints on standard error (the file descriptor, as C libraries write it).
template <typename Code> std::string stderrOf(Code code) {
    std::fflush(stderr);
    const int saved = ::dup(STDERR_FILENO);
    std::FILE* capture = std::tmpfile();
    ::dup2(::fileno(capture), STDERR_FILENO);
    code();
    std::fflush(stderr);
    ::dup2(saved, STDERR_FILENO);
    ::close(saved);
    std::string printed;
    std::rewind(capture);
    for (int c; (c = std::fgetc(capture)) != EOF;)
        printed.push_back(static_cast<char>(c));
    std::fclose(capture);
    return printed;
}

} // namespace tarnwick::testing_files
