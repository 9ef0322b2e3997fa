#pragma once
// Sends the requests of a module or of the module manager to the console, with values that stay
// valid and unchanged until the console has carried the request out.
//
// The client bridge receives the request signals on the console thread through queued
// connections and hands the value to the device controller, which reads it synchronously inside
// that queued call; after that nobody reads it. So each value is copied into a heap record of its
// own when the request is sent (the module's current command changes with the next command, and
// a port name or serial configuration may change before the console gets to it). After the
// signal has been emitted, a do-nothing functor that owns the record is queued to the bridge.
// Qt delivers the events posted to one thread in the order they were posted, so that functor
// runs, and frees the record, only after the bridge has carried the request out. Receivers on
// the GUI thread (the page bridge reads the command text while the send is signalled) read the
// same record during the emission. This needs no bookkeeping per request, cannot free a value
// early however long the console thread is busy, and frees it even if the console thread has
// quit (the queued functor is destroyed with the bridge).
//
// Until the bridge is known (setConsoleContext) the records are kept, and they are handed over
// in one batch as soon as it is.
//
// A request that asks the console for a value (getProperty) uses the same order: the functor
// queued behind it finds the record filled and sends it back to the application's main thread,
// where the handler runs if the device still exists.
//
// Thread: the GUI thread (that of its device, the application's main thread). Owner: the device
// it sends for, as a member.
#include "console/clientdevice.h"

#include <QPointer>

#include <functional>
#include <memory>
#include <vector>

class RequestSender
{
public:
    explicit RequestSender(ClientDevice& device);

    // An object living on the thread that carries the requests out: the client bridge.
    void setConsoleContext(QObject* context);

    template <typename Value> void setProperty(tdi::UInt32 request, Value value)
    {
        auto record = std::make_shared<Value>(std::move(value));
        emit device.setProperty(device.deviceID(), request, sizeof(Value), record.get());
        release(std::move(record));
    }

    // Calls handler with the value the console filled in; never when no console context is
    // known, since then nothing tells when the console is done with it.
    template <typename Value, typename Handler>
    void getProperty(tdi::UInt32 request, Handler handler)
    {
        auto record = std::make_shared<Value>();
        emit device.getProperty(device.deviceID(), request, sizeof(Value), record.get());
        returnWhenFilled([record, handler] { handler(*record); });
    }

private:
    void release(std::shared_ptr<void> record);
    void returnWhenFilled(std::function<void()> deliver);
    void handOver(std::vector<std::shared_ptr<void>> records);

    ClientDevice& device;
    QPointer<QObject> consoleContext;
    std::vector<std::shared_ptr<void>> unreleased;
};
