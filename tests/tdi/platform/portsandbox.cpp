#include "portsandbox.h"

#include "tdi/platform/serialdevice.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

void PortSandbox::SetUp()
{
    const char* ctestPorts = std::getenv("VAREN_PORT_DIR");
    scratch = std::make_unique<ScratchDirectory>(ctestPorts && *ctestPorts ? ctestPorts : "");
    const std::string ports = scratch->path() + "/ports";
    const std::string config = scratch->path() + "/config";
    ASSERT_EQ(::mkdir(ports.c_str(), 0700), 0);
    portDirVariable = std::make_unique<ScopedEnvironment>("VAREN_PORT_DIR", ports.c_str());
    configVariable = std::make_unique<ScopedEnvironment>("XDG_CONFIG_HOME", config.c_str());
}

void PortSandbox::TearDown()
{
    configVariable.reset();
    portDirVariable.reset();
    scratch.reset();
}

std::string PortSandbox::portDir() const
{
    return scratch->path() + "/ports";
}

std::string PortSandbox::entryPath(const std::string& name) const
{
    return portDir() + '/' + name;
}

void PortSandbox::link(const std::string& name, const std::string& target) const
{
    ASSERT_EQ(::symlink(target.c_str(), entryPath(name).c_str()), 0) << name;
}

void PortSandbox::unlink(const std::string& name) const
{
    ASSERT_EQ(::unlink(entryPath(name).c_str()), 0) << name;
}

void PortSandbox::closePort(int fd)
{
    tdi::platform::SerialDevice::releaseExclusive(fd);
    ::close(fd);
}
