#pragma once

#include "FakeDBusService.h"
#include "OutputPictureStream.h"

#include <QRect>
#include <QString>

#include <functional>
#include <memory>

// Stands in for the desktop portal's ScreenCast interface: it shares one
// output without a dialog, as a real stream of that output's pictures over
// PipeWire, and hands out a restore token for the next cast. Debian 12's
// xdg-desktop-portal-wlr gives no screen cast under sway's software renderer
// (it insists on a GPU buffer format), so tests bring this one.
class FakeScreenCastPortal {
public:
    struct Output {
        QRect geometry; // in the compositor's layout
        QSize pixels;
        std::function<QImage()> picture; // the output as it is now, `pixels` large
    };

    // Streams through the PipeWire at `socket`.
    FakeScreenCastPortal(Output output, QString socket);

    bool registered() const { return service_.registered(); }
    // The restore token each SelectSources brought, empty where it brought none.
    QStringList restoreTokensAsked() const;
    // Ends the stream, as when the person stops sharing in the desktop.
    void endStream();

private:
    QVariantList answer(const QDBusMessage& call);

    Output output_;
    QString socket_;
    std::unique_ptr<OutputPictureStream> stream_;
    QStringList tokensAsked_;
    FakeDBusService service_;
};
