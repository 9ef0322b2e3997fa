#include "modules/logging.h"

Q_LOGGING_CATEGORY(lcModules, "varen.modules")
