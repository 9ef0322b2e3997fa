#pragma once
// Fixture giving every test a port directory and a configuration folder of its own (through
// VAREN_PORT_DIR and XDG_CONFIG_HOME), inside the folder CTest gave the program, so that tests
// never see each other's ports or port numbers.
//
// Thread: the test's main thread. Owner: GoogleTest.
#include "scopedenvironment.h"
#include "scratchdirectory.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

class PortSandbox : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::string portDir() const;
    std::string entryPath(const std::string& name) const;

    // Makes the port-directory entry `name` a symbolic link to `target`.
    void link(const std::string& name, const std::string& target) const;
    void unlink(const std::string& name) const;

    // Closes a descriptor from openExclusive() the way the transport must.
    static void closePort(int fd);

private:
    std::unique_ptr<ScratchDirectory> scratch;
    std::unique_ptr<ScopedEnvironment> portDirVariable;
    std::unique_ptr<ScopedEnvironment> configVariable;
};
