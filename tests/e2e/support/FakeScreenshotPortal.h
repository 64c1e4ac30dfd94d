#pragma once

#include "FakeDBusService.h"

#include <QString>
#include <QVariantMap>

#include <optional>

// Stands in for the desktop portal's Screenshot interface: it answers every
// request, a moment later, by the Response signal of the request object with
// `response` (0 taken, 1 cancelled, 2 anything else) and the file's URI; or
// never, when `response` is nothing.
class FakeScreenshotPortal {
public:
    FakeScreenshotPortal(std::optional<uint> response, QString file = {});

    bool registered() const { return service_.registered(); }
    // The options of the first request, once there was one.
    QVariantMap firstOptions() const;

private:
    FakeDBusService service_;
};
