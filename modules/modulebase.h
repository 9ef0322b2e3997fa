#pragma once
// The host side of one unit the user works with. A module chooses and opens its unit's serial
// port, connects to the unit's console and reconnects by itself, keeps exactly one console
// command outstanding (queueing the rest), repeats a refresh list of commands for the pages, and
// turns every reply into one text: module name, the command as sent, the reply bytes.
//
// Two small state machines drive it. The port status follows the console device's reports; an
// open port starts a connection attempt, a closed or changed port drops the board to Lost. The
// board status goes Connecting -> Connected on the first reply; a unit that stays silent is
// Unavailable and is tried again every five seconds (2.5 s waiting, 2.5 s pause).
//
// Module types supply the start command, the default refresh list and the response-decoder
// kind. Modules are made with create(), which hands them out as ModuleBasePtr.
//
// Thread: the GUI thread (slots, timers, onMessage; console messages arrive queued).
// Owner: the module manager, through ModuleBasePtr; the client bridge and the web view share it.
#include "console/clientdevice.h"
#include "console/messages.h"
#include "modules/moduledescriptor.h"
#include "modules/modulesettings.h"
#include "modules/requestsender.h"

#include <QMetaType>
#include <QMutex>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <memory>
#include <string>
#include <vector>

// The page scripts use the same numbers, so the values are fixed.
enum class EBoardStatus : int {
    None = 0,
    Connecting = 1,
    Connected = 2,
    Lost = 3,
    Unavailable = 4
};
enum class EPortStatus : int { Unknown = 0, Open = 1, Closed = 2, Invalid = 3, Updating = 4 };

class ModuleBase;
using ModuleBasePtr = std::shared_ptr<ModuleBase>;

class ModuleBase : public ClientDevice
{
    Q_OBJECT
public:
    static constexpr int CommandTimeoutMs = 2500;
    static constexpr int ConnectionTimeoutMs = 2500;
    static constexpr int LostPortPauseMs = 5000;
    static constexpr int QueueTickMs = 10;

    // Modules are shared with the client bridge, which may drop the last reference on the
    // console thread (a console reset empties its map there). A QObject must die on its own
    // thread, and never inside one of its own slots, so the last owner only schedules the
    // deletion.
    template <typename Module, typename... Args> static ModuleBasePtr create(Args&&... args)
    {
        return ModuleBasePtr(new Module(std::forward<Args>(args)...), &ModuleBase::destroy);
    }
    // ModuleBasePtr, EBoardStatus and EPortStatus for queued connections and signal spies.
    static void registerMetaTypes();
    static const char* portStatusText(EPortStatus status);

    ~ModuleBase() override;

    // A new port list from the module manager ("<None>" first).
    void updatePorts(const QStringList& newPorts);
    // The "settings" element of the module's project entry.
    void loadSettings(const boost::property_tree::ptree& entry);
    void saveSettings(boost::property_tree::ptree& entry) const;
    // The client bridge's object on the console thread; see RequestSender.
    void setConsoleContext(QObject* context);

    const std::shared_ptr<ModuleDescriptor>& descriptor() const { return moduleDescriptor; }
    const std::shared_ptr<ModuleSettings>& settings() const { return moduleSettings; }
    const QStringList& ports() const { return portList; }
    const std::string& selectedPort() const { return selectedPortName; }
    int selectedBaudRate() const { return static_cast<int>(serialConfig.baudRate); }
    EPortStatus currentPortStatus() const { return portState; }
    EBoardStatus currentBoardStatus() const { return boardState; }

    virtual std::string startCommand() const = 0;
    virtual void defaultRefreshCommands(std::vector<std::string>& commands) const = 0;
    virtual int decoderKind() const = 0;

signals:
    void portsUpdated(QStringList ports, QString selectedPort, int selectedBaudRate);
    void readrecvd(QString jsonArray);
    void datarecvd(QString jsonData);
    void showInfoMsg(QString msg);
    void boardStatusUpdated(EBoardStatus boardStatus);
    void portStatus(EPortStatus portStatus, QString portName);

public slots:
    void on_execcmd(const QString& cmd);
    void on_flushcmd();
    void onMessage(tdi::UInt32 msgType, tdi::UInt32 size, void* value) override;
    void onSetSerialPort(const QString& portName);
    void onSetBaudRate(int baudRate);
    void onStartDataRefresh(std::vector<std::string> commandList);
    void onStopDataRefresh();
    QString onSettingRequested(const QString& settingName);
    void onSettingUpdated(const QString& settingName, const QString& settingValue);
    void onScreenSet(bool value);

protected:
    ModuleBase(std::shared_ptr<ModuleDescriptor> descriptor, tdi::UInt16 deviceId,
        std::shared_ptr<ModuleSettings> settings, QObject* parent);

private slots:
    void onCommandTimeout();
    void onConnectionTimeout();
    void onCommandQueueTimeout();

private:
    static void destroy(ModuleBase* module);

    void onDeviceOutput(const console::DeviceOutputMessage& output);
    void onReply(const char* bytes, int length);
    void onPortStatusMessage(const console::PortStatusMessage& message);
    void setPortStatus(EPortStatus status, const QString& portName);
    void setBoardStatus(EBoardStatus status);
    void dropToLost();
    void attemptConnection();
    void sendCommand(const std::string& command);
    void sendNextRefreshCommand(bool restart);
    void installRefreshList(std::vector<std::string> commands);
    void advanceRefreshCursor();
    void clearRefreshList();
    bool isPolling();
    QString replyText(const char* bytes, int length) const;

    std::shared_ptr<ModuleDescriptor> moduleDescriptor;
    std::shared_ptr<ModuleSettings> moduleSettings;
    QStringList portList;
    console::SerialConfig serialConfig;
    std::string selectedPortName;
    bool startCommandFlag = false;
    EPortStatus portState = EPortStatus::Unknown;
    EBoardStatus boardState = EBoardStatus::None;
    // Guards the refresh list and its cursor; never held while a signal is emitted, so a
    // receiver may call back into the module.
    QMutex listLock;
    std::vector<std::string> refreshList;
    std::size_t refreshCursor = 0; // an index: it survives a list that is replaced
    std::string currentCommand;
    QTimer commandTimer;
    bool discardNextReply = false;
    QTimer connectionTimer;
    QTimer queueTimer;
    std::deque<std::string> commandQueue;
    RequestSender requests;
};

Q_DECLARE_METATYPE(ModuleBasePtr)
Q_DECLARE_METATYPE(EBoardStatus)
Q_DECLARE_METATYPE(EPortStatus)
