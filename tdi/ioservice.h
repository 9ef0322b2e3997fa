#pragma once
// One asynchronous event loop with one strand. Every channel created on a service runs its
// handlers through the strand, so the handlers of all channels of one service never overlap.
//
// Thread: run() on the thread that drives the loop; the other members from any thread.
// Owner: shared (the channel hub and its loop thread, or an IosThread).
#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/io_context_strand.hpp>

#include <memory>
#include <mutex>

namespace tdi {

class IoService : public std::enable_shared_from_this<IoService>
{
public:
    IoService();
    IoService(const IoService&) = delete;
    IoService& operator=(const IoService&) = delete;

    // Runs the loop on the calling thread until stopped or out of work.
    std::size_t run();
    // Drops the work guard and clears the stopped state: run() returns once nothing is pending.
    void release();
    // Puts the work guard back, so an idle loop keeps running for channels opened later.
    void retain();
    // Drops the work guard and stops the loop if it is not stopped already.
    void stop();
    bool stopped() const;

    boost::asio::io_context& context() { return ioContext; }
    boost::asio::io_context::strand& strand() { return ioStrand; }

private:
    using WorkGuard = boost::asio::executor_work_guard<boost::asio::io_context::executor_type>;

    boost::asio::io_context ioContext;
    boost::asio::io_context::strand ioStrand;
    std::mutex workLock;
    std::shared_ptr<WorkGuard> work;
};

using IoServicePtr = std::shared_ptr<IoService>;

} // namespace tdi
