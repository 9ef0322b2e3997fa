#include "scopedenvironment.h"

#include <cstdlib>

namespace {

void apply(const std::string& name, const char* value)
{
    if (value)
        ::setenv(name.c_str(), value, 1);
    else
        ::unsetenv(name.c_str());
}

} // namespace

ScopedEnvironment::ScopedEnvironment(std::string name, const char* value)
    : name(std::move(name))
{
    if (const char* old = std::getenv(this->name.c_str()))
        saved = old;
    apply(this->name, value);
}

ScopedEnvironment::~ScopedEnvironment()
{
    apply(name, saved ? saved->c_str() : nullptr);
}
