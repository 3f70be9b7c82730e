#include "ui/DisplayCheck.h"

#include <QCoreApplication>

#include <cstdlib>
#include <string_view>
#include <xcb/xcb.h>

namespace tarnwick {
namespace {

std::string environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

} // namespace

std::string displayProblem() {
    const std::string platform = environment("QT_QPA_PLATFORM");
    // offscreen, vnc, eglfs...: platforms that need no X or Wayland server.
    if (!platform.empty() && !platform.starts_with("xcb") && !platform.starts_with("wayland"))
        return "";
    if (!environment("WAYLAND_DISPLAY").empty() && !platform.starts_with("xcb"))
        return "";
    const std::string display = environment("DISPLAY");
    if (display.empty())
        return QCoreApplication::translate(
                   "tarnwick::DisplayCheck",
                   "no display is set (DISPLAY and WAYLAND_DISPLAY are empty)")
            .toStdString();
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool failed = xcb_connection_has_error(connection) != 0;
    xcb_disconnect(connection);
    if (!failed)
        return "";
    return QCoreApplication::translate("tarnwick::DisplayCheck",
                                       "cannot connect to the X display \"%1\"")
        .arg(QString::fromStdString(display))
        .toStdString();
}

} // namespace tarnwick
