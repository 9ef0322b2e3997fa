#include "projects/logging.h"

Q_LOGGING_CATEGORY(lcProjects, "varen.projects")
