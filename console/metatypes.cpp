#include "console/metatypes.h"

#include "tdi/types.h"

#include <QMetaType>

namespace console {

void registerMetaTypes()
{
    qRegisterMetaType<tdi::UInt32>("tdi::UInt32");
    qRegisterMetaType<tdi::UInt16>("tdi::UInt16");
}

} // namespace console
