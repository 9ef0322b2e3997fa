#include "modules/modulebase.h"

#include "modules/globals.h"
#include "modules/logging.h"

#include <QCoreApplication>
#include <QMutexLocker>

#include <utility>

using namespace console;

namespace {

const char* const IdentifyCommand = "i\r\n";

} // namespace

ModuleBase::ModuleBase(std::shared_ptr<ModuleDescriptor> descriptor, tdi::UInt16 deviceId,
    std::shared_ptr<ModuleSettings> settings, QObject* parent)
    : ClientDevice(deviceId, parent)
    , moduleDescriptor(descriptor ? std::move(descriptor) : std::make_shared<ModuleDescriptor>())
    , moduleSettings(std::move(settings))
    , requests(*this)
{
    for (QTimer* timer : { &commandTimer, &connectionTimer, &queueTimer })
        timer->setSingleShot(true);
    connect(&commandTimer, &QTimer::timeout, this, &ModuleBase::onCommandTimeout);
    connect(&connectionTimer, &QTimer::timeout, this, &ModuleBase::onConnectionTimeout);
    connect(&queueTimer, &QTimer::timeout, this, &ModuleBase::onCommandQueueTimeout);
}

ModuleBase::~ModuleBase() = default;

void ModuleBase::destroy(ModuleBase* module)
{
    // Without an application object no event loop will ever run a deferred deletion.
    if (QCoreApplication::instance())
        module->deleteLater();
    else
        delete module;
}

void ModuleBase::registerMetaTypes()
{
    qRegisterMetaType<ModuleBasePtr>("ModuleBasePtr");
    qRegisterMetaType<EBoardStatus>("EBoardStatus");
    qRegisterMetaType<EPortStatus>("EPortStatus");
}

const char* ModuleBase::portStatusText(EPortStatus status)
{
    switch (status) {
    case EPortStatus::Open:
        return "open";
    case EPortStatus::Closed:
        return "closed";
    case EPortStatus::Invalid:
        return "invalid";
    case EPortStatus::Updating:
        return "updating";
    default:
        return "unknown";
    }
}

void ModuleBase::setConsoleContext(QObject* context)
{
    requests.setConsoleContext(context);
}

// Sending commands ---------------------------------------------------------------------------

void ModuleBase::on_execcmd(const QString& cmd)
{
    if (boardState != EBoardStatus::Connected)
        return;
    if (currentCommand.empty()) {
        sendCommand(cmd.toStdString());
        return;
    }
    qCDebug(lcModules).noquote() << "Warning: '" + QString::fromStdString(currentCommand)
            + "' incomplete, queueing command for later execution";
    commandQueue.push_back(cmd.toStdString());
    if (!queueTimer.isActive())
        queueTimer.start(QueueTickMs);
}

void ModuleBase::on_flushcmd()
{
    currentCommand.clear();
}

void ModuleBase::onCommandQueueTimeout()
{
    if (currentCommand.empty() && !commandQueue.empty()) {
        const std::string command = std::move(commandQueue.front());
        commandQueue.pop_front();
        qCDebug(lcModules).noquote()
            << "Executing queued command:" << QString::fromStdString(command);
        sendCommand(command);
    }
    if (!commandQueue.empty())
        queueTimer.start(QueueTickMs);
}

void ModuleBase::sendCommand(const std::string& command)
{
    currentCommand = command;
    requests.setProperty(ReqWrite, currentCommand);
}

// Console messages ---------------------------------------------------------------------------

void ModuleBase::onMessage(tdi::UInt32 msgType, tdi::UInt32 size, void* value)
{
    if (!value)
        return;
    if (msgType == MsgDeviceOutput && size == sizeof(DeviceOutputMessage))
        onDeviceOutput(*static_cast<const DeviceOutputMessage*>(value));
    else if (msgType == MsgPortStatus && size == sizeof(PortStatusMessage))
        onPortStatusMessage(*static_cast<const PortStatusMessage*>(value));
}

void ModuleBase::onDeviceOutput(const DeviceOutputMessage& output)
{
    // A record without bytes is read as empty rather than followed.
    const int length = output.data ? output.length : 0;
    if (output.header.kind == OutputText) {
        emit readrecvd(QString::fromUtf8(output.data, length));
    } else if (output.header.kind == OutputData) {
        onReply(output.data, length);
    }
}

void ModuleBase::onReply(const char* bytes, int length)
{
    if (boardState == EBoardStatus::Connecting) {
        // Any answer at all proves the unit is there; it is not news for the pages.
        connectionTimer.stop();
        setBoardStatus(EBoardStatus::Connected);
        currentCommand.clear();
        return;
    }
    commandTimer.stop();
    if (discardNextReply) {
        discardNextReply = false;
    } else {
        emit datarecvd(replyText(bytes, length));
        advanceRefreshCursor();
    }
    currentCommand.clear();
    // Polling runs as fast as the unit answers: the next command goes out with no pause.
    if (isPolling())
        sendNextRefreshCommand(false);
}

// The pages split this text at its first two line feeds: module name, command echo, data.
QString ModuleBase::replyText(const char* bytes, int length) const
{
    return moduleDescriptor->name + QStringLiteral("\r\n") + QString::fromStdString(currentCommand)
        + QString::fromLatin1(bytes, length);
}

// Polling ------------------------------------------------------------------------------------

void ModuleBase::onStartDataRefresh(std::vector<std::string> commandList)
{
    if (boardState != EBoardStatus::Connected)
        return;
    std::size_t previousSize;
    {
        QMutexLocker locker(&listLock);
        previousSize = refreshList.size();
    }
    if (commandList.empty()) {
        defaultRefreshCommands(commandList);
        QMutexLocker locker(&listLock);
        // Asked again for the default list while polling it: carry on where we are.
        if (previousSize != 0 && commandList == refreshList)
            return;
    }
    installRefreshList(std::move(commandList));
    if (previousSize == 0)
        sendNextRefreshCommand(false);
}

// A list that replaces another takes over at the next reply; the outstanding command's reply
// belongs to the old list and is swallowed.
void ModuleBase::installRefreshList(std::vector<std::string> commands)
{
    QMutexLocker locker(&listLock);
    refreshList = std::move(commands);
    refreshCursor = 0;
    if (!currentCommand.empty())
        discardNextReply = true;
}

void ModuleBase::onStopDataRefresh()
{
    clearRefreshList();
    if (!currentCommand.empty())
        discardNextReply = true;
}

void ModuleBase::clearRefreshList()
{
    QMutexLocker locker(&listLock);
    refreshList.clear();
    refreshCursor = 0;
}

void ModuleBase::advanceRefreshCursor()
{
    QMutexLocker locker(&listLock);
    if (!refreshList.empty())
        refreshCursor = (refreshCursor + 1) % refreshList.size();
}

bool ModuleBase::isPolling()
{
    QMutexLocker locker(&listLock);
    return !refreshList.empty();
}

void ModuleBase::sendNextRefreshCommand(bool restart)
{
    if (boardState != EBoardStatus::Connected)
        return;
    std::string command;
    {
        QMutexLocker locker(&listLock);
        if (!restart && refreshCursor >= refreshList.size())
            return;
        command = restart ? startCommand() : refreshList[refreshCursor];
    }
    sendCommand(command);
    commandTimer.start(CommandTimeoutMs);
}

// A refresh or start command the unit left unanswered: the start command stands in for it and
// puts a unit that lost its diagnostic mode back into it. The cursor stays, so the start
// command's reply moves polling past the command that got no answer.
void ModuleBase::onCommandTimeout()
{
    discardNextReply = false;
    if (isPolling())
        sendNextRefreshCommand(true);
}

// Ports --------------------------------------------------------------------------------------

void ModuleBase::onSetSerialPort(const QString& portName)
{
    const std::string name = portName.toStdString();
    if (name == selectedPortName)
        return;
    setPortStatus(EPortStatus::Updating, portName);
    const bool wasClosed = selectedPortName.empty() || selectedPortName == NoPortName;
    selectedPortName = name;
    if (wasClosed) {
        serialConfig.portName = name;
        serialConfig.baudRate = static_cast<tdi::UInt32>(moduleSettings->baudRate());
        serialConfig.decoderKind = static_cast<tdi::UInt32>(decoderKind());
        requests.setProperty(ReqOpen, serialConfig);
    } else {
        requests.setProperty(name == NoPortName ? ReqClose : ReqSelectPort, name);
    }
    moduleSettings->setPort(selectedPortName);
}

void ModuleBase::onSetBaudRate(int baudRate)
{
    // A page that sends a text that is not a number asks for rate 0; no line runs at it.
    if (baudRate <= 0)
        return;
    moduleSettings->setBaudRate(baudRate);
    requests.setProperty(ReqBaudRate, static_cast<tdi::UInt32>(baudRate));
}

void ModuleBase::updatePorts(const QStringList& newPorts)
{
    const std::string wanted = selectedPortName.empty() ? moduleSettings->port() : selectedPortName;
    const QString wantedName = QString::fromStdString(wanted);
    const bool wasListed = portList.contains(wantedName);
    const bool isListed = wanted != NoPortName && newPorts.contains(wantedName);
    portList = newPorts;
    // The port came back (an adapter plugged in again): open it afresh.
    if (isListed && !wasListed) {
        selectedPortName = NoPortName;
        onSetSerialPort(wantedName);
    }
    emit portsUpdated(portList, QString::fromStdString(selectedPortName),
        static_cast<int>(serialConfig.baudRate));
    // A port stored in a project that was just loaded takes effect once it is present.
    const QString stored = QString::fromStdString(moduleSettings->port());
    if (isListed && !stored.isEmpty() && moduleSettings->port() != selectedPortName
        && portList.contains(stored))
        onSetSerialPort(stored);
}

void ModuleBase::onPortStatusMessage(const PortStatusMessage& message)
{
    EPortStatus status = EPortStatus::Updating;
    if (message.portName == selectedPortName || message.portName.empty()) {
        if (selectedPortName == NoPortName)
            status = EPortStatus::Invalid;
        else
            status = message.open ? EPortStatus::Open : EPortStatus::Closed;
    }
    setPortStatus(status, QString::fromStdString(message.portName));
}

void ModuleBase::setPortStatus(EPortStatus status, const QString& portName)
{
    qCDebug(lcModules).noquote() << QStringLiteral("Port status '%1' => '%2', port=%3")
                                        .arg(QLatin1String(portStatusText(portState)),
                                            QLatin1String(portStatusText(status)), portName);
    portState = status;
    if (status == EPortStatus::Open) {
        if (boardState == EBoardStatus::None || boardState == EBoardStatus::Lost)
            attemptConnection();
    } else if (status != EPortStatus::Unknown) {
        if (boardState == EBoardStatus::Connected || boardState == EBoardStatus::Connecting)
            dropToLost();
    }
    emit portStatus(status, portName);
}

// Polling ends with the port; the reply of the command in flight, if it ever comes, is not
// reported. The pause gives a replugged adapter time to settle before we knock again.
void ModuleBase::dropToLost()
{
    setBoardStatus(EBoardStatus::Lost);
    clearRefreshList();
    if (!currentCommand.empty())
        discardNextReply = true;
    connectionTimer.start(LostPortPauseMs);
}

// Connection ---------------------------------------------------------------------------------

void ModuleBase::attemptConnection()
{
    if (connectionTimer.isActive() || selectedPortName == NoPortName)
        return;
    emit showInfoMsg(QStringLiteral("Attempting Connection..."));
    setBoardStatus(EBoardStatus::Connecting);
    sendCommand(startCommandFlag ? startCommand() : IdentifyCommand);
    connectionTimer.start(ConnectionTimeoutMs);
}

void ModuleBase::onConnectionTimeout()
{
    switch (boardState) {
    case EBoardStatus::Connecting:
        setBoardStatus(EBoardStatus::Unavailable);
        connectionTimer.start(ConnectionTimeoutMs);
        emit showInfoMsg(QStringLiteral("Command Timed Out"));
        break;
    case EBoardStatus::Lost:
    case EBoardStatus::Unavailable:
        attemptConnection();
        break;
    default:
        break;
    }
}

void ModuleBase::setBoardStatus(EBoardStatus status)
{
    if (status == boardState)
        return;
    boardState = status;
    emit boardStatusUpdated(status);
}

void ModuleBase::onScreenSet(bool value)
{
    startCommandFlag = value;
}

// Settings -----------------------------------------------------------------------------------

QString ModuleBase::onSettingRequested(const QString& settingName)
{
    return moduleSettings->requestSetting(settingName);
}

void ModuleBase::onSettingUpdated(const QString& settingName, const QString& settingValue)
{
    moduleSettings->updateSetting(settingName, settingValue);
}

void ModuleBase::loadSettings(const boost::property_tree::ptree& entry)
{
    if (const auto settings = entry.get_child_optional("settings"))
        moduleSettings->read(*settings);
}

void ModuleBase::saveSettings(boost::property_tree::ptree& entry) const
{
    moduleSettings->write(entry.put_child("settings", boost::property_tree::ptree()));
}
