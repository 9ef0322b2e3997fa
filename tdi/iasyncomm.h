#pragma once
// A byte channel driven by the channel I/O loop: a serial port or a named pipe. The channel hub
// creates, opens, configures, writes and closes channels only through this interface.
#include "tdi/linesettings.h"
#include "tdi/types.h"

#include <boost/system/error_code.hpp>

#include <functional>
#include <string>
#include <vector>

namespace tdi {

class IAsynComm
{
public:
    using DataCallback = std::function<void(UInt32 id, const unsigned char* data, std::size_t n)>;
    using WrittenCallback = std::function<void(std::size_t n)>;
    using ErrorCallback = std::function<void(const boost::system::error_code& error)>;

    // True when the port is open after the call. Serial ports throw boost::system::system_error
    // ("set_option") when the driver refuses a setting.
    virtual bool setOptions(UInt32 baudRate, const LineSettings& settings) = 0;
    virtual void open(const std::string& name, UInt32 inputQueue, UInt32 outputQueue,
        boost::system::error_code& error)
        = 0;
    virtual bool isOpen() const = 0;
    virtual void close() = 0;
    int write(const std::string& text) { return write(text.data(), text.size()); }
    int write(const std::vector<unsigned char>& bytes) { return write(bytes.data(), bytes.size()); }
    virtual int write(const void* data, std::size_t size) = 0;
    virtual void setPaused(UInt32 paused) = 0;
    virtual ~IAsynComm() = default;
};

} // namespace tdi
