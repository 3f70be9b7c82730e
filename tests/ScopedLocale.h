#pragma once

#include <cstdlib>
#include <optional>
#include <string>

namespace tarnwick::test {

// Sets LC_ALL in the environment (what the code page choices read) for the life of this object,
// then puts back what was there, so that no test leaves its locale to the tests after it.
class ScopedLocale {
public:
    explicit ScopedLocale(const char* locale) {
        if (const char* old = std::getenv("LC_ALL"))
            old_ = old;
        set(locale);
    }
    ~ScopedLocale() {
        if (old_)
            setenv("LC_ALL", old_->c_str(), 1);
        else
            unsetenv("LC_ALL");
    }
    ScopedLocale(const ScopedLocale&) = delete;
    ScopedLocale& operator=(const ScopedLocale&) = delete;

    void set(const char* locale) { setenv("LC_ALL", locale, 1); }

private:
    std::optional<std::string> old_;
};

} // namespace tarnwick::test
