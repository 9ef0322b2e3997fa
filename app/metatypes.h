#pragma once
// The types that cross threads or reach the pages through queued connections and
// QMetaObject::invokeMethod, registered once by the entry function before the application
// object exists. The console's own types (tdi::UInt32, tdi::UInt16) and the module pointer are
// registered by their layers; this adds the standard-library containers.
//
// Thread: GUI thread, before the application object. Owner: none.
#include <QMetaType>

#include <map>
#include <string>
#include <vector>

using StringMap = std::map<std::string, std::vector<std::string>>;

Q_DECLARE_METATYPE(std::string)
// std::vector<std::string> and StringMap are declared by Qt's container templates once their
// element types are.

class MetaTypes
{
public:
    static void registerAll();
};
