#pragma once
// The one object that knows which kinds of module exist (the module descriptors) and which
// modules the project holds. It asks the console for a device per new module, creates the module
// when the console reports the device, keeps one module selected, hands the sorted port list to
// every module, and writes and reads the project's module entries.
//
// Wiring (done once by the entry function): the client bridge is built with the manager, then
// attachClient(client) registers every new module with the bridge and lets the manager reset the
// console. The projects layer calls resetForNewProject() (instead of removeAllModules()) when a
// new project starts or another one is loaded: the console then releases the old devices and
// their ports, so the new project's modules can open the same ports. Creation requests made
// while that reset runs (loadModules, AddModule) are held back and sent once the console reports
// Ready again; answers to requests made before the reset create no module.
//
// Thread: the GUI thread (console messages arrive queued). Owner: the process, through the
// shared pointer returned by instance(); the client bridge shares it.
#include "console/clientdevice.h"
#include "console/messages.h"
#include "modules/modulebase.h"
#include "modules/moduledescriptorreader.h"
#include "modules/requestsender.h"

#include <QPointer>
#include <QStringList>

#include <boost/property_tree/ptree.hpp>

#include <list>
#include <memory>
#include <set>
#include <vector>

namespace gui {
class Client;
}

class ModuleManager : public ClientDevice
{
    Q_OBJECT
public:
    using Descriptors = ModuleDescriptorReader::Descriptors;

    // The process-wide manager, created at the first call (after the application object) with
    // the descriptors of the application's directory.
    static std::shared_ptr<ModuleManager> instance();

    explicit ModuleManager(const QString& applicationDir, QObject* parent = nullptr);
    ~ModuleManager() override;

    void attachClient(gui::Client* client);

    const Descriptors& descriptors() const { return moduleDescriptors; }
    const std::vector<ModuleBasePtr>& modules() const { return moduleList; }
    const ModuleBasePtr& selectedModule() const { return selected; }
    // "<None>" followed by the present ports, sorted without regard to case.
    const QStringList& ports() const { return portNames; }

    void removeAllModules();
    bool saveModules(boost::property_tree::ptree& tree) const;
    // Requests a device for every module entry of a known type; the modules appear as the
    // console answers. Missing or non-numeric "type" or "id" throw the property tree's error.
    bool loadModules(const boost::property_tree::ptree& tree);

signals:
    void consoleReady();
    void moduleAdded(ModuleBasePtr modulePtr);
    void moduleRemoved(ModuleBasePtr modulePtr);
    void moduleSelected(ModuleBasePtr modulePtr);
    // attachClient connects this to gui::Client::onNewProject.
    void consoleResetRequested();

public slots:
    void onMessage(tdi::UInt32 msgType, tdi::UInt32 size, void* value) override;
    void AddModule(std::shared_ptr<ModuleDescriptor> moduleDescriptor);
    void SelectModule(ModuleBasePtr modulePtr);
    void RemoveModule(ModuleBasePtr modulePtr);
    // Removes every module and resets the console (see the class comment).
    void resetForNewProject();

private:
    // One creation request and the settings it carries; the console hands the settings'
    // address back in its answer, which is how an answer finds its request.
    struct Creation
    {
        enum State { Held, Sent, Stale };
        console::CreateDeviceRequest request;
        boost::property_tree::ptree settings;
        State state = Held;
    };

    void requestDevice(int requestedId, int deviceType, boost::property_tree::ptree settings);
    void send(Creation& creation);
    void onStateMessage(const console::StateMessage& message);
    void onDeviceCreated(const console::DeviceCreatedMessage& message);
    void onModuleRegistered(tdi::UInt32 deviceId);
    void onPortList(const console::PortListMessage& message);
    void applyPortList(const std::vector<console::PortEntry>& ports);
    void finishReset();
    void addModule(const ModuleBasePtr& module);
    ModuleBasePtr createModule(tdi::UInt32 deviceType, tdi::UInt16 deviceId) const;
    std::shared_ptr<ModuleDescriptor> firstDescriptorOf(tdi::UInt32 deviceType) const;
    bool isListed(const ModuleBasePtr& module) const;

    std::vector<ModuleBasePtr> moduleList;
    // Modules the client bridge has registered (message 3). Only they get port lists: before,
    // the bridge does not carry their requests yet, and the open request a new list may cause
    // would be lost.
    std::set<const ModuleBase*> registered;
    Descriptors moduleDescriptors;
    ModuleBasePtr selected;
    QStringList portNames;
    std::list<Creation> creations; // a list: answers refer to the entries by address
    QPointer<gui::Client> client;
    bool consoleLive = false; // a state message arrived, so the console's loop runs
    bool resetPending = false;
    unsigned portListsReceived = 0;
    RequestSender requests;
};
