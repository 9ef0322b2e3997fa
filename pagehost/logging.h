#pragma once
// Debug output of the page host ("varen.pagehost"): the page bridge and the module web view.
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcPageHost)
