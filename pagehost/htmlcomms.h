#pragma once
// qtobj, the one host object the page scripts can reach. The module web view publishes it on its
// web channel and connects it to the module it shows: page calls become module requests
// (commands, polling, port choice, settings), project operations and dialogs, and the module's
// signals become page signals. It also gives the pages simple file output (fopen, fwrite,
// fclose) for the communication log, and native file dialogs that remember their directory per
// kind of file in the settings group "dialogs".
//
// Every text that crosses between host and pages is formatted here. Page-facing names use lower
// case with underscores because the page scripts call them by these names.
//
// Wiring by the application: the web view creates the bridge; the main window passes itself as
// IPageHost through setHost(). Dialogs come from createPageDialogs() (scripted when
// VAREN_DIALOG_SCRIPT is set) unless replaced with setDialogs().
//
// Thread: GUI thread (web channel calls arrive there). Owner: the module web view
// (std::unique_ptr, no QObject parent); destroying it closes the files the pages left open.
#include "modules/modulebase.h"
#include "pagehost/ipagedialogs.h"

#include <QFile>
#include <QObject>
#include <QStringList>

#include <map>
#include <memory>
#include <string>
#include <vector>

class AppProjects;
class IPageHost;

class HtmlComms : public QObject
{
    Q_OBJECT
public:
    explicit HtmlComms(QObject* parent = nullptr);
    ~HtmlComms() override;

    // The main window; may stay null (the project operations then do nothing, message boxes
    // have no parent and sound counts as on).
    void setHost(IPageHost* host);
    void setDialogs(std::unique_ptr<IPageDialogs> dialogs);

    // Tells the page the project's sound setting ("True" or "False").
    void announceSoundSetting();

    // The ports_updated text: {"selected":"COM1", "baudrate":"115200", "ports":["<None>", "COM1"]}
    // (built by hand in exactly this layout; a quote, backslash or control character in a name is
    // escaped so that the text stays valid JSON).
    static QString portListJson(
        const QStringList& ports, const QString& selectedPort, int selectedBaudRate);

signals:
    // For the pages.
    void updatemoduledata(QString jsonArray);
    void updateFileName(QString filePath);
    void replyrecvd(QString jsonData);
    void setproperty(QString prop, QString value);
    void board_status(int status);
    void port_status(int status, QString portName);
    void ports_updated(QString jsonData);
    void sound_enabled(QString enabled);
    // For the module.
    void setting_updated(QString settingName, QString settingValue);
    // For the pages.
    void info_msg(QString msg);
    void cmd_executed(QString command);
    // For the module; the module's answer comes back as the result (a direct connection).
    QString setting_requested(QString settingName);
    void execcmd(QString cmd);
    void screenUpdated(bool isQMR);
    void flushcmd();
    void portSelected(QString port);
    void portBaudRate(int baudRate);
    void startDataRefresh(std::vector<std::string> commandList);
    void stopDataRefresh();

public slots:
    // Called by the pages.
    void qdebug(const QString& info);
    void exec(const QString& cmd);
    void flush();
    void start_data_refresh(const QString& jsonList);
    void start_MediaConverter_data_refresh(const QString& jsonList);
    void screenIsQMR(bool value);
    void stop_data_refresh();
    QString request_setting(const QString& settingName);
    void update_setting(const QString& settingName, const QString& settingValue);
    void update_port_selection(const QString& portName);
    void update_port_baudrate(const QString& baudRate);
    void update_sound_enabled(const QString& enabled);
    void new_project();
    void open_project();
    void save_project(const QString& promptToSave);
    void save_project_as();
    void exit_application();
    QString open_file_dialog(const QString& caption, const QString& filter, const QString& dir,
        const QString& dirSaveKey);
    QString save_file_dialog(const QString& caption, const QString& filter, const QString& dir,
        const QString& dirSaveKey);
    QString get_text_file(const QString& caption, const QString& filter, const QString& dir,
        const QString& dirSaveKey);
    QString confirm_dialog(const QString& title, const QString& text);
    QString alert_dialog(const QString& title, const QString& text);
    int fopen(const QString& filePath);
    bool fwrite(int handle, const QString& data);
    void fclose(int handle);
    void show_directory(const QString& path);

    // Called through the module's signals.
    void onShowInfoMsg(const QString& msg);
    void onSetProperty(tdi::UInt16 deviceID, tdi::UInt32 propertyId, tdi::UInt32 size, void* value);
    void on_readrecvd(const QString& jsonArray);
    void on_datarecvd(const QString& jsonArray);
    void on_setproperty(const QString& prop, const QString& value);
    void on_boardStatus(EBoardStatus boardStatus);
    void on_portStatus(EPortStatus status, const QString& portName);
    void on_portsUpdated(
        const QStringList& ports, const QString& selectedPort, int selectedBaudRate);

private:
    enum class FileDialog { Open, Save };

    QString runFileDialog(FileDialog kind, const QString& caption, const QString& filter,
        const QString& dir, const QString& dirSaveKey);
    AppProjects* projectManager() const;
    QWidget* dialogParent() const;
    int freeHandle() const;

    IPageHost* host = nullptr;
    std::unique_ptr<IPageDialogs> dialogs;
    std::map<int, std::shared_ptr<QFile>> openFiles;
};
