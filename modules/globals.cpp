#include "modules/globals.h"

const std::string NoPortName = "<None>";

const QString EthernetPrefix = QStringLiteral("ethernet_");
const QString LocalPrefix = QStringLiteral("local_");
const QString MotherboardPrefix = QStringLiteral("motherboard_");
const QString RemotePrefix = QStringLiteral("remote_");
const QString SerialPrefix = QStringLiteral("serial_");
