#include "console/logging.h"

Q_LOGGING_CATEGORY(lcConsole, "varen.console")
