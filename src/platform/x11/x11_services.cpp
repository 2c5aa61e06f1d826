// The X11 implementations of the platform services.
#include "platform/x11/x11_services.h"

#include "platform/x11/x11_workspace.h"

#include <QGuiApplication>

namespace nabrix {

std::optional<X11Services> createX11Services()
{
    auto* x11 = qApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr || x11->display() == nullptr)
        return std::nullopt;
    // The individual services arrive with their own files; until then the fallbacks stand in.
    X11Services services;
    services.workspace = X11Workspace::create();
    return services;
}

} // namespace nabrix
