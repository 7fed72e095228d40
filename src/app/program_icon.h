#pragma once
// The program's icon: the 32 x 32 16-colour image and its larger form,
// compiled into the program.

#include <QIcon>

namespace app {

QIcon programIcon();

} // namespace app
