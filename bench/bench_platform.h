#pragma once
// The Qt platform of a benchmark: the display it is run on (xvfb-run gives
// it a virtual one), or, with no display at all, offscreen.

#include <QtGlobal>

inline void chooseBenchPlatform()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY")
        && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}
