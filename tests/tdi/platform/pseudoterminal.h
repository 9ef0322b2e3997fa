#pragma once
// A pseudo-terminal standing in for a unit's serial line: the test keeps the master and the code
// under test opens the slave, like a simulated unit and the program do.
//
// Thread: the test's main thread. Owner: the test that made it; the master closes with it.
#include <string>

class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    int master() const { return masterFd; }
    const std::string& slavePath() const { return slave; }

    // Closes the master, as a simulated unit that exits does: the slave's device file disappears.
    // The slave stays open here until destruction, which keeps the kernel from giving its number
    // to the next pseudo-terminal (of a test running beside this one) and bringing the path back.
    void hangUp();

private:
    int masterFd = -1;
    int pinFd = -1;
    std::string slave;
};
