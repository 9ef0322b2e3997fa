#include "portsandbox.h"
#include "tdi/platform/portwatcher.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <fstream>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <vector>

using tdi::platform::PortWatcher;

namespace {

constexpr bool kArrival = false;
constexpr bool kRemoval = true;

// Collects the watcher's callbacks, which come on its own thread, for the test to wait on.
//
// Thread: written by the watcher thread, read by the test's thread. Owner: the test.
class EventLog
{
public:
    PortWatcher::Callback callback()
    {
        return [this](bool removal) {
            std::lock_guard<std::mutex> guard(lock);
            events.push_back(removal);
            changed.notify_all();
        };
    }

    // The events so far once there are `count` of them, or after a generous bound.
    std::vector<bool> waitFor(std::size_t count)
    {
        std::unique_lock<std::mutex> guard(lock);
        changed.wait_for(guard, std::chrono::seconds(20), [&] { return events.size() >= count; });
        return events;
    }

    std::size_t size()
    {
        std::lock_guard<std::mutex> guard(lock);
        return events.size();
    }

private:
    std::mutex lock;
    std::condition_variable changed;
    std::vector<bool> events;
};

} // namespace

class PortWatcherTest : public PortSandbox
{
protected:
    void churn(const std::string& name, int rounds) const
    {
        for (int round = 0; round < rounds; ++round) {
            link(name, "/dev/null");
            unlink(name);
        }
    }

    EventLog log;
};

TEST_F(PortWatcherTest, StartCreatesAMissingPortDirectoryForTheUserOnly)
{
    const std::string nested = portDir() + "/run/varen/ports";
    ScopedEnvironment portDirVariable("VAREN_PORT_DIR", nested.c_str());
    PortWatcher watcher;
    ASSERT_TRUE(watcher.start(log.callback()));
    EXPECT_TRUE(watcher.isRunning());

    struct stat status;
    ASSERT_EQ(::stat(nested.c_str(), &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));
    EXPECT_EQ(status.st_mode & 07777, 0700u);
}

TEST_F(PortWatcherTest, EachPortEntryArrivingOrLeavingGivesOneCallback)
{
    PortWatcher watcher;
    ASSERT_TRUE(watcher.start(log.callback()));

    std::ofstream(entryPath("notes.txt")) << "not a port"; // ignored
    link("COM07", "/dev/null"); // ignored: not a port name
    link("COM5", "/dev/null"); // arrival
    link("incoming", "/dev/null"); // ignored
    ASSERT_EQ(std::rename(entryPath("incoming").c_str(), entryPath("COM6").c_str()), 0); // arrival
    ASSERT_EQ(std::rename(entryPath("COM6").c_str(), entryPath("old").c_str()), 0); // removal
    unlink("COM5"); // removal
    unlink("COM07"); // ignored
    // Inotify keeps order, so a last arrival shows that nothing else came before it.
    link("COM9", "/dev/null");

    const std::vector<bool> expected { kArrival, kArrival, kRemoval, kRemoval, kArrival };
    EXPECT_EQ(log.waitFor(expected.size()), expected);
}

TEST_F(PortWatcherTest, NoCallbackAfterStopEvenWhileEventsPourIn)
{
    PortWatcher watcher;
    ASSERT_TRUE(watcher.start(log.callback()));
    std::atomic<bool> pouring { true };
    std::thread source([&] {
        while (pouring)
            churn("COM7", 1);
    });
    ASSERT_GE(log.waitFor(10).size(), 10u);

    watcher.stop();
    const std::size_t atStop = log.size();
    EXPECT_FALSE(watcher.isRunning());
    churn("COM8", 100);
    pouring = false;
    source.join();
    EXPECT_EQ(log.size(), atStop);

    watcher.stop(); // a second stop does nothing
    EXPECT_FALSE(watcher.isRunning());
}

TEST_F(PortWatcherTest, StartWhileRunningKeepsTheFirstCallbackAndRestartWorks)
{
    PortWatcher watcher;
    EventLog second;
    ASSERT_TRUE(watcher.start(log.callback()));
    EXPECT_TRUE(watcher.start(second.callback()));
    link("COM5", "/dev/null");
    EXPECT_EQ(log.waitFor(1), std::vector<bool> { kArrival });
    EXPECT_EQ(second.size(), 0u);

    watcher.stop();
    ASSERT_TRUE(watcher.start(second.callback()));
    unlink("COM5");
    EXPECT_EQ(second.waitFor(1), std::vector<bool> { kRemoval });
    EXPECT_EQ(log.size(), 1u);
}
