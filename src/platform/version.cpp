#include "platform/version.h"

#include "version_config.h"

QString ProgramVersionText() {
    return QStringLiteral("%1.%2.%3").arg(VELMORA_VERSION_MAJOR).arg(VELMORA_VERSION_MINOR).arg(VELMORA_VERSION_PATCH);
}
