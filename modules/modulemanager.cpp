#include "modules/modulemanager.h"

#include "console/client.h"
#include "modules/globals.h"
#include "modules/logging.h"
#include "modules/modulek57qmr.h"
#include "modules/modulek68tlc.h"

#include <QCoreApplication>

#include <algorithm>

using namespace console;
using boost::property_tree::ptree;

namespace {

// A saved id the console could hand out; any other (the manager's own 0xFFFF, say, from a
// hand-edited project) lets the console choose.
int usableDeviceId(int savedId)
{
    return savedId >= 0 && savedId < StateDeviceId ? savedId : -1;
}

} // namespace

std::shared_ptr<ModuleManager> ModuleManager::instance()
{
    static const auto manager
        = std::make_shared<ModuleManager>(QCoreApplication::applicationDirPath());
    return manager;
}

ModuleManager::ModuleManager(const QString& applicationDir, QObject* parent)
    : ClientDevice(StateDeviceId, parent)
    , moduleDescriptors(ModuleDescriptorReader::read(applicationDir))
    , portNames { QString::fromStdString(NoPortName) }
    , requests(*this)
{
    // moduleAdded crosses to the console thread in attachClient's connection.
    ModuleBase::registerMetaTypes();
}

ModuleManager::~ModuleManager() = default;

void ModuleManager::attachClient(gui::Client* bridge)
{
    client = bridge;
    requests.setConsoleContext(bridge);
    for (const ModuleBasePtr& module : moduleList)
        module->setConsoleContext(bridge);
    connect(this, &ModuleManager::moduleAdded, bridge,
        [bridge](const ModuleBasePtr& module) { bridge->onClientDeviceAdded(module); });
    connect(this, &ModuleManager::consoleResetRequested, bridge, &gui::Client::onNewProject);
}

// Requests -----------------------------------------------------------------------------------

void ModuleManager::AddModule(std::shared_ptr<ModuleDescriptor> moduleDescriptor)
{
    if (moduleDescriptor)
        requestDevice(-1, moduleDescriptor->deviceType, ptree());
}

void ModuleManager::requestDevice(int requestedId, int deviceType, ptree settings)
{
    Creation& creation = creations.emplace_back();
    creation.settings = std::move(settings);
    creation.request.requestedId = requestedId;
    creation.request.deviceType = static_cast<UInt32>(deviceType);
    creation.request.param = &creation.settings;
    if (!resetPending)
        send(creation);
}

void ModuleManager::send(Creation& creation)
{
    creation.state = Creation::Sent;
    requests.setProperty(ReqCreateDevice, creation.request);
}

// Console messages ---------------------------------------------------------------------------

void ModuleManager::onMessage(tdi::UInt32 msgType, tdi::UInt32 size, void* value)
{
    if (!value)
        return;
    switch (msgType) {
    case MsgState:
        if (size == sizeof(StateMessage))
            onStateMessage(*static_cast<const StateMessage*>(value));
        break;
    case MsgDeviceCreated:
        if (size == sizeof(DeviceCreatedMessage))
            onDeviceCreated(*static_cast<const DeviceCreatedMessage*>(value));
        break;
    case MsgModuleRegistered:
        if (size == sizeof(UInt32))
            onModuleRegistered(*static_cast<const UInt32*>(value));
        break;
    case MsgPortList:
        if (size == sizeof(PortListMessage))
            onPortList(*static_cast<const PortListMessage*>(value));
        break;
    default:
        break;
    }
}

void ModuleManager::onStateMessage(const StateMessage& message)
{
    consoleLive = true;
    // The Ready that ends our own reset is no news for the main window: the console was ready
    // before, and announcing it again would make it add default modules to a project whose
    // modules are still on their way.
    if (message.state == Ready && resetPending) {
        finishReset();
        return;
    }
    if (message.state == Ready || message.state == Running)
        emit consoleReady();
}

void ModuleManager::onDeviceCreated(const DeviceCreatedMessage& message)
{
    const auto found = std::find_if(creations.begin(), creations.end(),
        [&message](const Creation& creation) { return &creation.settings == message.param; });
    if (found == creations.end() && message.param) {
        // Never follow a pointer we did not hand out.
        qCDebug(lcModules) << "ModuleManager::onMessage() - answer to an unknown request for device"
                           << message.deviceId;
        return;
    }
    const bool current = found == creations.end() || found->state == Creation::Sent;
    const ptree settings = found == creations.end() ? ptree() : std::move(found->settings);
    if (found != creations.end())
        creations.erase(found);
    // A device asked for before a console reset belongs to the project that was left.
    if (!current)
        return;
    if (message.deviceId >= StateDeviceId) {
        qCDebug(lcModules) << "ModuleManager::onMessage() - unusable device id" << message.deviceId;
        return;
    }
    if (const ModuleBasePtr module
        = createModule(message.deviceType, static_cast<tdi::UInt16>(message.deviceId))) {
        module->loadSettings(settings);
        addModule(module);
    }
}

ModuleBasePtr ModuleManager::createModule(tdi::UInt32 deviceType, tdi::UInt16 deviceId) const
{
    if (deviceType != ModuleDescriptor::K68TLCType && deviceType != ModuleDescriptor::K57QMRType) {
        qCDebug(lcModules) << "ModuleManager::onMessage() - unrecognised device type" << deviceType;
        return nullptr;
    }
    const auto descriptor = firstDescriptorOf(deviceType);
    if (!descriptor)
        return nullptr;
    if (deviceType == ModuleDescriptor::K68TLCType)
        return ModuleBase::create<ModuleK68TLC>(descriptor, deviceId);
    return ModuleBase::create<ModuleK57QMR>(descriptor, deviceId);
}

void ModuleManager::addModule(const ModuleBasePtr& module)
{
    module->setConsoleContext(client);
    moduleList.push_back(module);
    emit moduleAdded(module);
    if (!selected)
        SelectModule(module);
}

void ModuleManager::onModuleRegistered(tdi::UInt32 deviceId)
{
    const auto found = std::find_if(moduleList.begin(), moduleList.end(),
        [deviceId](const ModuleBasePtr& module) { return module->deviceID() == deviceId; });
    if (found == moduleList.end())
        return;
    registered.insert(found->get());
    (*found)->updatePorts(portNames);
}

void ModuleManager::onPortList(const PortListMessage& message)
{
    ++portListsReceived;
    applyPortList(message.ports);
}

void ModuleManager::applyPortList(const std::vector<PortEntry>& ports)
{
    QStringList names;
    for (const PortEntry& entry : ports)
        names << QString::fromStdString(entry.name);
    names.sort(Qt::CaseInsensitive);
    names.prepend(QString::fromStdString(NoPortName));
    portNames = names;
    // A copy: a receiver of a module's signals may remove modules meanwhile.
    const auto modules = moduleList;
    for (const ModuleBasePtr& module : modules) {
        if (registered.count(module.get()))
            module->updatePorts(portNames);
    }
}

// Selection and removal ----------------------------------------------------------------------

void ModuleManager::SelectModule(ModuleBasePtr modulePtr)
{
    // Only a module of the project, or none: a removed module must never come back as selected.
    if (modulePtr == selected || (modulePtr && !isListed(modulePtr)))
        return;
    selected = modulePtr;
    emit moduleSelected(modulePtr);
}

void ModuleManager::RemoveModule(ModuleBasePtr modulePtr)
{
    if (!modulePtr || !isListed(modulePtr))
        return;
    if (modulePtr == selected)
        SelectModule(nullptr);
    moduleList.erase(std::find(moduleList.begin(), moduleList.end(), modulePtr));
    registered.erase(modulePtr.get());
    emit moduleRemoved(modulePtr);
}

void ModuleManager::removeAllModules()
{
    const auto modules = moduleList;
    for (const ModuleBasePtr& module : modules)
        RemoveModule(module);
}

bool ModuleManager::isListed(const ModuleBasePtr& module) const
{
    return std::find(moduleList.begin(), moduleList.end(), module) != moduleList.end();
}

// Projects -----------------------------------------------------------------------------------

void ModuleManager::resetForNewProject()
{
    removeAllModules();
    // Requests still held belong to the project being left; those already sent are answered,
    // but their answers must create nothing.
    creations.remove_if([](const Creation& creation) { return creation.state == Creation::Held; });
    for (Creation& creation : creations)
        creation.state = Creation::Stale;
    // A console whose loop does not run yet would never finish a reset; it has no devices
    // to release either.
    if (!client || !consoleLive || resetPending)
        return;
    resetPending = true;
    emit consoleResetRequested();
}

// Every answer to a request sent before the reset has arrived by now (or was dropped while the
// console reset), so the stale entries can go.
//
// The console drops the port lists it posts while it resets and does not announce them again,
// so a port that came or went meanwhile would stay unknown; ask for the list. Any list the
// console posts from now on is complete and at least as new, so it wins over the answer.
void ModuleManager::finishReset()
{
    resetPending = false;
    creations.remove_if([](const Creation& creation) { return creation.state == Creation::Stale; });
    for (Creation& creation : creations)
        send(creation);
    const unsigned listsSoFar = portListsReceived;
    requests.getProperty<std::vector<PortEntry>>(
        ReqPortList, [this, listsSoFar](const std::vector<PortEntry>& ports) {
            if (portListsReceived == listsSoFar)
                applyPortList(ports);
        });
}

bool ModuleManager::saveModules(ptree& tree) const
{
    ptree& modules = tree.add_child("modules", ptree());
    for (const ModuleBasePtr& module : moduleList) {
        ptree& entry = modules.add_child("module", ptree());
        entry.put("type", module->descriptor()->deviceType);
        entry.put("id", module->deviceID());
        module->saveSettings(entry);
    }
    return true;
}

bool ModuleManager::loadModules(const ptree& tree)
{
    const auto modules = tree.get_child_optional("modules");
    if (!modules)
        return false;
    bool requested = false;
    for (const auto& [name, entry] : *modules) {
        if (name != "module")
            continue;
        const auto type = entry.get<unsigned>("type");
        const auto id = entry.get<int>("id");
        // One device per entry, even when several descriptors share its type: a module is
        // always made from the first of them, and more requests would only duplicate it.
        if (!firstDescriptorOf(type))
            continue;
        requestDevice(usableDeviceId(id), static_cast<int>(type), entry);
        requested = true;
    }
    return requested;
}

std::shared_ptr<ModuleDescriptor> ModuleManager::firstDescriptorOf(tdi::UInt32 deviceType) const
{
    const auto found = std::find_if(moduleDescriptors.begin(), moduleDescriptors.end(),
        [deviceType](const std::shared_ptr<ModuleDescriptor>& descriptor) {
            return descriptor->deviceType >= 0
                && static_cast<tdi::UInt32>(descriptor->deviceType) == deviceType;
        });
    return found == moduleDescriptors.end() ? nullptr : *found;
}
