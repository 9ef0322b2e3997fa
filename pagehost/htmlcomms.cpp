#include "pagehost/htmlcomms.h"

#include "console/messages.h"
#include "pagehost/ipagehost.h"
#include "pagehost/logging.h"
#include "pagehost/scriptedpagedialogs.h"
#include "projects/appprojects.h"
#include "projects/projectsettings.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QUrl>

namespace {

const QString DialogsGroup = QStringLiteral("dialogs");

// Polling lists arrive as one text; empty pieces are dropped, the others kept exactly (each
// carries its own line end).
std::vector<std::string> splitCommands(const QString& text, QChar separator)
{
    std::vector<std::string> commands;
    for (const QString& piece : text.split(separator, Qt::SkipEmptyParts))
        commands.push_back(piece.toStdString());
    return commands;
}

// A JSON string literal. Port names are normally "COM<n>" or "<None>" and pass unchanged; a
// quote, backslash or control character (a hand-edited project file can carry any port name)
// is escaped so that the page can still parse the list.
QString jsonString(const QString& text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == QLatin1Char('"') || c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\') + c;
        else if (c.unicode() < 0x20)
            quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + QLatin1Char('"');
}

} // namespace

HtmlComms::HtmlComms(QObject* parent)
    : QObject(parent)
    , dialogs(createPageDialogs())
{
}

HtmlComms::~HtmlComms() = default;

void HtmlComms::setHost(IPageHost* pageHost)
{
    host = pageHost;
}

void HtmlComms::setDialogs(std::unique_ptr<IPageDialogs> pageDialogs)
{
    dialogs = std::move(pageDialogs);
}

void HtmlComms::announceSoundSetting()
{
    ProjectSettings* settings = host ? host->currentProjectSettings() : nullptr;
    // Without project settings the setting has its initial value: on.
    const bool enabled = !settings || settings->isSoundEnabled();
    emit sound_enabled(enabled ? QStringLiteral("True") : QStringLiteral("False"));
}

QString HtmlComms::portListJson(
    const QStringList& ports, const QString& selectedPort, int selectedBaudRate)
{
    QStringList names;
    for (const QString& port : ports)
        names << jsonString(port);
    return QStringLiteral("{\"selected\":") + jsonString(selectedPort)
        + QStringLiteral(", \"baudrate\":\"") + QString::number(selectedBaudRate)
        + QStringLiteral("\", \"ports\":[") + names.join(QStringLiteral(", "))
        + QStringLiteral("]}");
}

void HtmlComms::qdebug(const QString& info)
{
    qCDebug(lcPageHost).noquote() << info;
}

void HtmlComms::exec(const QString& cmd)
{
    emit execcmd(cmd);
}

void HtmlComms::flush()
{
    emit flushcmd();
}

void HtmlComms::start_data_refresh(const QString& jsonList)
{
    emit startDataRefresh(splitCommands(jsonList, QLatin1Char(',')));
}

void HtmlComms::start_MediaConverter_data_refresh(const QString& jsonList)
{
    emit startDataRefresh(splitCommands(jsonList, QLatin1Char('q')));
}

void HtmlComms::screenIsQMR(bool value)
{
    emit screenUpdated(value);
}

void HtmlComms::stop_data_refresh()
{
    emit stopDataRefresh();
}

QString HtmlComms::request_setting(const QString& settingName)
{
    // Without a module nothing is connected and the result is empty.
    return emit setting_requested(settingName);
}

void HtmlComms::update_setting(const QString& settingName, const QString& settingValue)
{
    emit setting_updated(settingName, settingValue);
}

void HtmlComms::update_port_selection(const QString& portName)
{
    emit portSelected(portName);
}

void HtmlComms::update_port_baudrate(const QString& baudRate)
{
    // Text that is not a decimal number gives 0.
    emit portBaudRate(baudRate.toInt(nullptr, 10));
}

void HtmlComms::update_sound_enabled(const QString& enabled)
{
    if (ProjectSettings* settings = host ? host->currentProjectSettings() : nullptr)
        settings->setSoundEnabled(enabled.toLower() == QLatin1String("true"));
}

void HtmlComms::new_project()
{
    if (AppProjects* manager = projectManager())
        manager->onNewProject();
}

void HtmlComms::open_project()
{
    if (AppProjects* manager = projectManager())
        manager->onOpenProject();
}

void HtmlComms::save_project(const QString& promptToSave)
{
    if (AppProjects* manager = projectManager())
        manager->saveIfModified(promptToSave.toUpper() == QLatin1String("TRUE"));
}

void HtmlComms::save_project_as()
{
    if (AppProjects* manager = projectManager())
        manager->onSaveAs();
}

void HtmlComms::exit_application()
{
    if (host)
        host->closeApplication();
}

QString HtmlComms::open_file_dialog(
    const QString& caption, const QString& filter, const QString& dir, const QString& dirSaveKey)
{
    return runFileDialog(FileDialog::Open, caption, filter, dir, dirSaveKey);
}

QString HtmlComms::save_file_dialog(
    const QString& caption, const QString& filter, const QString& dir, const QString& dirSaveKey)
{
    return runFileDialog(FileDialog::Save, caption, filter, dir, dirSaveKey);
}

QString HtmlComms::get_text_file(
    const QString& caption, const QString& filter, const QString& dir, const QString& dirSaveKey)
{
    const QString path = runFileDialog(FileDialog::Open, caption, filter, dir, dirSaveKey);
    QString text;
    QFile file(path);
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly))
        text = QString::fromUtf8(file.readAll());
    emit updateFileName(path);
    return text;
}

QString HtmlComms::confirm_dialog(const QString& title, const QString& text)
{
    return dialogs->confirm(dialogParent(), title, text) ? QStringLiteral("true")
                                                         : QStringLiteral("false");
}

QString HtmlComms::alert_dialog(const QString& title, const QString& text)
{
    dialogs->alert(dialogParent(), title, text);
    return QStringLiteral("true");
}

int HtmlComms::fopen(const QString& filePath)
{
    auto file = std::make_shared<QFile>(filePath);
    if (!file->open(QIODevice::ReadWrite | QIODevice::Truncate)) {
        qCDebug(lcPageHost) << "fopen failed:" << filePath << file->errorString();
        return -1;
    }
    const int handle = freeHandle();
    openFiles.emplace(handle, std::move(file));
    return handle;
}

bool HtmlComms::fwrite(int handle, const QString& data)
{
    const auto found = openFiles.find(handle);
    if (found == openFiles.end())
        return false;
    QFile& file = *found->second;
    const QByteArray bytes = data.toUtf8();
    // Flushed at once: the log must be on disk if the application stops, and a full disk must
    // be reported to the page rather than lost in a buffer.
    return file.write(bytes) == bytes.size() && file.flush();
}

void HtmlComms::fclose(int handle)
{
    openFiles.erase(handle);
}

void HtmlComms::show_directory(const QString& path)
{
    QFileInfo info(path);
    if (info.isFile())
        info.setFile(info.canonicalPath());
    // Only folders are handed to the desktop: anything else would be opened by whatever
    // program the desktop associates with it.
    if (!info.isDir()) {
        qCDebug(lcPageHost) << "show_directory: not a folder:" << path;
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(info.absoluteFilePath()));
}

void HtmlComms::onShowInfoMsg(const QString& msg)
{
    emit info_msg(msg);
}

void HtmlComms::onSetProperty(tdi::UInt16, tdi::UInt32 propertyId, tdi::UInt32 size, void* value)
{
    // The module keeps the command alive while the send is signalled, so it is read now.
    if (propertyId == console::ReqWrite && size == sizeof(std::string) && value)
        emit cmd_executed(QString::fromStdString(*static_cast<const std::string*>(value)));
}

void HtmlComms::on_readrecvd(const QString& jsonArray)
{
    emit updatemoduledata(jsonArray);
}

void HtmlComms::on_datarecvd(const QString& jsonArray)
{
    emit replyrecvd(jsonArray);
}

void HtmlComms::on_setproperty(const QString& prop, const QString& value)
{
    emit setproperty(prop, value);
}

void HtmlComms::on_boardStatus(EBoardStatus boardStatus)
{
    emit board_status(static_cast<int>(boardStatus));
}

void HtmlComms::on_portStatus(EPortStatus status, const QString& portName)
{
    emit port_status(static_cast<int>(status), portName);
}

void HtmlComms::on_portsUpdated(
    const QStringList& ports, const QString& selectedPort, int selectedBaudRate)
{
    emit ports_updated(portListJson(ports, selectedPort, selectedBaudRate));
}

QString HtmlComms::runFileDialog(FileDialog kind, const QString& caption, const QString& filter,
    const QString& dir, const QString& dirSaveKey)
{
    QSettings settings;
    settings.beginGroup(DialogsGroup);
    QString start = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!dirSaveKey.isEmpty())
        start = settings.value(dirSaveKey, start).toString();
    // dir is either a folder to start in or a file name to propose in the start folder.
    if (!dir.isEmpty())
        start = QFileInfo(dir).isDir() ? dir : start + QDir::separator() + dir;

    const QString path = kind == FileDialog::Open
        ? dialogs->chooseOpenFileName(caption, start, filter)
        : dialogs->chooseSaveFileName(caption, start, filter);
    if (!path.isEmpty() && !dirSaveKey.isEmpty())
        settings.setValue(dirSaveKey, QFileInfo(path).absolutePath());
    return path;
}

AppProjects* HtmlComms::projectManager() const
{
    AppProjects* manager = host ? host->projectManager() : nullptr;
    if (!manager)
        qCDebug(lcPageHost) << "No project manager yet; project request ignored";
    return manager;
}

QWidget* HtmlComms::dialogParent() const
{
    return host ? host->dialogParent() : nullptr;
}

int HtmlComms::freeHandle() const
{
    // The keys ascend, so the first gap (or the end) is the smallest free handle.
    int handle = 0;
    for (const auto& entry : openFiles) {
        if (entry.first != handle)
            break;
        ++handle;
    }
    return handle;
}
