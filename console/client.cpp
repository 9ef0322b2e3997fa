#include "console/client.h"

#include "console/devicecontroller.h"
#include "console/messages.h"
#include "console/postedmessage.h"

#include <QMetaObject>
#include <QMutexLocker>

namespace gui {

namespace {
// Message 3 carries the registered device id; the cell outlives every delivery of it because
// the message is copied when posted.
tdi::UInt32 registeredDeviceCell = 0;
} // namespace

Client::Client(ConsoleThread* thread, std::shared_ptr<ClientDevice> moduleManager)
    : manager(std::move(moduleManager))
{
    moveToThread(thread);
    console::DeviceController::instance().connectSlot(
        [this](int device, int msgType, unsigned size, const char* data) {
            onMessage(device, msgType, static_cast<int>(size),
                const_cast<void*>(static_cast<const void*>(data)));
        });
    connectRequests(manager.get());
    devices[console::StateDeviceId] = manager;
}

Client::~Client()
{
    // Nothing may post into a bridge that is gone.
    console::DeviceController::instance().disconnectSlot();
}

void Client::connectRequests(ClientDevice* device)
{
    connect(device, &ClientDevice::setParam, this, &Client::onSetParam);
    connect(device, &ClientDevice::setProperty, this, &Client::onSetProperty);
    connect(device, &ClientDevice::getProperty, this, &Client::onGetProperty);
}

void Client::start()
{
    requestState(console::Running);
}

void Client::stop()
{
    requestState(console::Stopped);
}

void Client::requestState(tdi::UInt32 newState)
{
    state = newState;
    console::DeviceController::instance().setProperty(
        console::StateDeviceId, console::ReqConsoleState, sizeof(state), &state);
}

void Client::onMessage(int device, int msgType, int size, void* const value)
{
    std::shared_ptr<ClientDevice> receiver;
    {
        QMutexLocker locker(&mutex);
        const auto it = devices.find(static_cast<tdi::UInt16>(device));
        if (it == devices.end())
            return;
        receiver = it->second;
    }
    auto message = console::PostedMessage::copy(
        static_cast<tdi::UInt32>(msgType), static_cast<tdi::UInt32>(size), value);
    ClientDevice* target = receiver.get();
    // Direct when posted on the receiver's thread, queued otherwise; a receiver deleted in
    // between never gets the call.
    QMetaObject::invokeMethod(
        target,
        [target, message] {
            target->onMessage(message->type(), message->size(), message->record());
        },
        Qt::AutoConnection);
}

void Client::onNewProject()
{
    requestState(console::Resetting);
    QMutexLocker locker(&mutex);
    devices.clear();
    devices[console::StateDeviceId] = manager;
}

void Client::onClientDeviceAdded(std::shared_ptr<ClientDevice> device)
{
    if (!device)
        return;
    {
        QMutexLocker locker(&mutex);
        devices[device->deviceID()] = device;
        connectRequests(device.get());
    }
    registeredDeviceCell = device->deviceID();
    onMessage(console::StateDeviceId, console::MsgModuleRegistered, sizeof(registeredDeviceCell),
        &registeredDeviceCell);
}

void Client::onSetParam(tdi::UInt16 deviceID, tdi::UInt32 paramId, tdi::UInt32 size, void* value)
{
    console::DeviceController::instance().setParam(deviceID, paramId, size, value);
}

void Client::onSetProperty(
    tdi::UInt16 deviceID, tdi::UInt32 propertyId, tdi::UInt32 size, void* value)
{
    console::DeviceController::instance().setProperty(deviceID, propertyId, size, value);
}

void Client::onGetProperty(
    tdi::UInt16 deviceID, tdi::UInt32 propertyId, tdi::UInt32 size, void* value)
{
    console::DeviceController::instance().getProperty(deviceID, propertyId, size, value);
}

} // namespace gui
