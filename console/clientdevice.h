#pragma once
// The GUI-side end of a console device: the module manager (id 0xFFFF) and every module derive
// from it. Requests leave through the three signals, which the client bridge receives on the
// console thread; console messages arrive through onMessage on the object's own thread.
//
// Thread: the GUI thread. Owner: the module manager (modules) or the process (the manager).
#include "tdi/types.h"

#include <QObject>

class ClientDevice : public QObject
{
    Q_OBJECT
public:
    explicit ClientDevice(tdi::UInt16 deviceId, QObject* parent = nullptr);

    tdi::UInt16 deviceID() const { return id; }

signals:
    // Request values travel as pointers: the sender keeps them alive until the console thread
    // has carried the request out.
    void setParam(tdi::UInt16 deviceID, tdi::UInt32 paramId, tdi::UInt32 size, void* value);
    void setProperty(tdi::UInt16 deviceID, tdi::UInt32 propertyId, tdi::UInt32 size, void* value);
    void getProperty(tdi::UInt16 deviceID, tdi::UInt32 propertyId, tdi::UInt32 size, void* value);

public slots:
    // `value` points to a copy of the record as it was posted; it is valid during the call.
    virtual void onMessage(tdi::UInt32 msgType, tdi::UInt32 size, void* value);

protected:
    void setDeviceID(tdi::UInt16 deviceId) { id = deviceId; }

private:
    tdi::UInt16 id;
};
