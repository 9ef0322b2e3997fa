#pragma once
// The settings every module keeps: its serial port and baud rate. Module types add their own
// named settings (channel names the pages show) by overriding the four virtual operations.
//
// Settings travel with the project: the module hands its "settings" element of the project tree
// to read and write. Pages address single settings by name through requestSetting and
// updateSetting.
//
// Thread: the GUI thread. Owner: its module (a shared pointer).
#include <QString>

#include <boost/property_tree/ptree.hpp>

#include <optional>
#include <string>

class ModuleSettings
{
public:
    static constexpr int DefaultBaudRate = 115200;

    ModuleSettings();
    virtual ~ModuleSettings() = default;

    virtual void read(const boost::property_tree::ptree& settings);
    virtual void write(boost::property_tree::ptree& settings) const;
    // The base knows no named settings: every name reads empty and updates change nothing.
    virtual QString requestSetting(const QString& name) const;
    virtual void updateSetting(const QString& name, const QString& value);

    const std::string& port() const { return portName; }
    void setPort(const std::string& name) { portName = name; }
    int baudRate() const { return baud; }
    void setBaudRate(int rate) { baud = rate; }

    // The child's text when it is a plain decimal integer; project files are edited by hand, so
    // anything else counts as absent.
    static std::optional<int> readDecimal(
        const boost::property_tree::ptree& node, const std::string& child);
    // When name begins with prefix, removes the prefix wherever it occurs in name and says so.
    static bool takePrefix(QString& name, const QString& prefix);

private:
    std::string portName;
    int baud = DefaultBaudRate;
};
