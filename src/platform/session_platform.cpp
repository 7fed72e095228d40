#include "platform/session_platform.h"

#include <QByteArray>
#include <QtGlobal>
#include <cstring>

namespace platform {

bool startsOnXWayland(int argc, const char* const* argv)
{
    if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qEnvironmentVariableIsEmpty("DISPLAY")
        || qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return false;
    }
    return true;
}

void chooseSessionPlatform(int argc, const char* const* argv)
{
    if (startsOnXWayland(argc, argv))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

} // namespace platform
