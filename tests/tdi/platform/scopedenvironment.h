#pragma once
// Sets (or unsets) one environment variable for as long as it lives, then puts the old value back.
//
// Thread: the test's main thread; setenv is not safe while other threads read the environment.
// Owner: the test or fixture that made it.
#include <optional>
#include <string>

class ScopedEnvironment
{
public:
    // `value` nullptr unsets the variable.
    ScopedEnvironment(std::string name, const char* value);
    ~ScopedEnvironment();
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    std::string name;
    std::optional<std::string> saved;
};
