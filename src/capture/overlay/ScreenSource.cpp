#include "ScreenSource.h"

std::optional<ScreenSource> screenSourceNamed(const QString& name) {
    static const std::pair<const char*, ScreenSource> names[] = {
        {"x11", ScreenSource::x11},
        {"screencopy", ScreenSource::screencopy},
        {"kwin", ScreenSource::kwin},
        {"portal", ScreenSource::portal},
        {"dialog", ScreenSource::portalDialog},
    };
    for (const auto& [text, source] : names) {
        if (name == QLatin1String(text))
            return source;
    }
    return std::nullopt;
}

ScreenSource chooseScreenSource(const DesktopSession& session, const ScreenSourceOffers& offers,
                                bool interactive, const QString& named) {
    if (const std::optional<ScreenSource> chosen = screenSourceNamed(named))
        return *chosen;
    const ScreenSource lastResort =
        interactive && !offers.ownOverlay ? ScreenSource::portalDialog : ScreenSource::portal;
    if (!session.wayland)
        return offers.ownOverlay ? ScreenSource::x11 : lastResort;
    if (offers.screencopy)
        return ScreenSource::screencopy;
    if (offers.kwin)
        return ScreenSource::kwin;
    return lastResort;
}
