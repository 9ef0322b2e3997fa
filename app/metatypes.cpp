#include "app/metatypes.h"

#include "console/metatypes.h"
#include "modules/modulebase.h"

void MetaTypes::registerAll()
{
    console::registerMetaTypes();
    qRegisterMetaType<std::string>("std::string");
    // Registering a container also registers its converter to Qt's sequential and associative
    // views, through which QVariant (and so the web channel) can walk it.
    qRegisterMetaType<std::vector<std::string>>("std::vector<std::string>");
    qRegisterMetaType<StringMap>("StringMap");
    qRegisterMetaType<StringMap>("std::map<std::string,std::vector<std::string>>");
    ModuleBase::registerMetaTypes();
}
