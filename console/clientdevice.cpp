#include "console/clientdevice.h"

ClientDevice::ClientDevice(tdi::UInt16 deviceId, QObject* parent)
    : QObject(parent)
    , id(deviceId)
{
}

void ClientDevice::onMessage(tdi::UInt32, tdi::UInt32, void*)
{
}
