#include "pagehost/logging.h"

Q_LOGGING_CATEGORY(lcPageHost, "varen.pagehost")
