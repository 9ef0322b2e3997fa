#include "portnumbermap.h"

#include "comname.h"
#include "makedirectories.h"
#include "uniquefd.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <pwd.h>
#include <sstream>
#include <unistd.h>

namespace tdi {
namespace platform {

namespace {

constexpr const char* kFileName = "/Rusk/serial-ports.map";

std::string configFolder()
{
    // XDG asks for relative values to be ignored.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return config;
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::string(home) + "/.config";
    const passwd* user = ::getpwuid(::getuid());
    return std::string(user ? user->pw_dir : "") + "/.config";
}

std::string folderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

bool readAll(const std::string& path, std::string& content)
{
    UniqueFd file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!file)
        return false;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(file.get(), buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got > 0)
            content.append(buffer, static_cast<std::size_t>(got));
        else if (errno != EINTR)
            return false;
    }
}

bool writeAll(int fd, const std::string& data)
{
    for (std::size_t done = 0; done < data.size();) {
        const ssize_t written = ::write(fd, data.data() + done, data.size() - done);
        if (written < 0 && errno != EINTR)
            return false;
        done += written > 0 ? static_cast<std::size_t>(written) : 0;
    }
    return true;
}

} // namespace

PortNumberMap::PortNumberMap(std::string filePath)
    : filePath(std::move(filePath))
{
}

std::string PortNumberMap::defaultPath()
{
    return configFolder() + kFileName;
}

bool PortNumberMap::load()
{
    numbers.clear();
    keys.clear();
    modified = false;
    std::string content;
    if (!readAll(filePath, content))
        return errno == ENOENT;
    std::istringstream lines(content);
    for (std::string line; std::getline(lines, line);)
        parseLine(line);
    return true;
}

void PortNumberMap::parseLine(const std::string& line)
{
    if (line.empty() || line.front() == '#')
        return;
    const std::size_t blank = line.find_first_of(" \t");
    if (blank == std::string::npos)
        return;
    const unsigned number = ComName::parseNumber(std::string_view(line).substr(0, blank));
    const std::string key = line.substr(blank + 1);
    if (number != 0 && !key.empty() && !numbers.count(key) && !keys.count(number))
        record(key, number);
}

bool PortNumberMap::save()
{
    if (!makeDirectories(folderOf(filePath), 0700))
        return false;
    std::string temporary = filePath + ".XXXXXX";
    UniqueFd file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (!file)
        return false;
    // fsync before the rename, or a crash could leave the new name on an empty file.
    if (!writeAll(file.get(), text()) || ::fsync(file.get()) != 0
        || ::rename(temporary.c_str(), filePath.c_str()) != 0) {
        const int error = errno;
        ::unlink(temporary.c_str());
        errno = error;
        return false;
    }
    modified = false;
    return true;
}

std::string PortNumberMap::text() const
{
    std::string text
        = "# COM numbers of serial adapters: <number> <by-id link, by-path link or device>\n";
    for (const auto& [number, key] : keys)
        text += std::to_string(number) + ' ' + key + '\n';
    return text;
}

unsigned PortNumberMap::numberOf(const std::string& key) const
{
    const auto found = numbers.find(key);
    return found == numbers.end() ? 0 : found->second;
}

unsigned PortNumberMap::assign(const std::string& key, const std::set<unsigned>& taken)
{
    if (const unsigned known = numberOf(key))
        return known;
    for (unsigned number = ComName::kFirst; number <= ComName::kLast; ++number) {
        if (!keys.count(number) && !taken.count(number)) {
            record(key, number);
            modified = true;
            return number;
        }
    }
    return 0;
}

void PortNumberMap::record(const std::string& key, unsigned number)
{
    numbers[key] = number;
    keys[number] = key;
}

} // namespace platform
} // namespace tdi
