#pragma once
// The bridge between the GUI objects and the console. Requests from the module manager and the
// modules arrive here on the console thread and go to the device controller; every console
// message is copied where it is posted and delivered to the GUI object registered under its
// device id, on that object's thread.
//
// Thread: lives on the console thread; onMessage runs on the posting thread; start and stop are
// called on the GUI thread. Owner: the entry function (no parent, moved to the console thread).
#include "console/clientdevice.h"
#include "console/consolethread.h"

#include <QMutex>

#include <map>
#include <memory>

namespace gui {

class Client : public QObject
{
    Q_OBJECT
public:
    Client(ConsoleThread* thread, std::shared_ptr<ClientDevice> moduleManager);
    ~Client() override;

    void start();
    void stop();

public slots:
    virtual void onMessage(int device, int msgType, int size, void* const value);
    // A new project: the console resets, releasing every device and its port.
    virtual void onNewProject();
    // Registers a module's device under its id (replacing any earlier one) and tells the module
    // manager with message 3.
    void onClientDeviceAdded(std::shared_ptr<ClientDevice> device);

private slots:
    void onSetParam(tdi::UInt16 deviceID, tdi::UInt32 paramId, tdi::UInt32 size, void* value);
    void onSetProperty(tdi::UInt16 deviceID, tdi::UInt32 propertyId, tdi::UInt32 size, void* value);
    void onGetProperty(tdi::UInt16 deviceID, tdi::UInt32 propertyId, tdi::UInt32 size, void* value);

private:
    void connectRequests(ClientDevice* device);
    void requestState(tdi::UInt32 newState);

    QMutex mutex;
    std::map<tdi::UInt16, std::shared_ptr<ClientDevice>> devices;
    std::shared_ptr<ClientDevice> manager;
    tdi::UInt32 state = 2;
};

} // namespace gui
