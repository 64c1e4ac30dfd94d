#pragma once

#include <QString>

// The desktop portal (org.freedesktop.portal.Desktop) answers a request
// through a Request object whose path is known before the call, from the
// caller's bus name and a token of the caller's choice: subscribing to it
// first means a fast portal cannot answer before anyone listens.
namespace PortalRequestPath {

inline constexpr char service[] = "org.freedesktop.portal.Desktop";
inline constexpr char path[] = "/org/freedesktop/portal/desktop";

// A fresh token, "glimber" and random hex digits.
QString newToken();
// The path of the Request object for `token` on this process's session bus.
QString forToken(const QString& token);

} // namespace PortalRequestPath
