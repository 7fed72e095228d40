// The program's icon, from the images compiled in with resources/mireldo.qrc.

#include "app/program_icon.h"

// The resources live in a static library, so they are registered by hand;
// the macro has to be used outside any namespace.
static void registerProgramResources()
{
    Q_INIT_RESOURCE(mireldo);
}

namespace app {

QIcon programIcon()
{
    static const bool registered = (registerProgramResources(), true);
    (void)registered;
    QIcon icon;
    icon.addFile(QStringLiteral(":/mireldo/icons/mireldo-32.png"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/mireldo/icons/mireldo-128.png"), QSize(128, 128));
    return icon;
}

} // namespace app
