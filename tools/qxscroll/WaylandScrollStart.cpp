#include "WaylandScrollStart.h"

#include "AppLocale.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

constexpr int formatPollMs = 20;
// A stream that has not said what it sends by then is not going to.
constexpr int formatDeadlineMs = 10'000;

QSettings helperSettings() {
    return QSettings(QStringLiteral("glimvault"), QStringLiteral("qxscroll"));
}

const QString tokenKey = QStringLiteral("screenCastRestoreToken");

bool sharesAnotherScreen(QPoint streamPosition, const QRect& ours) {
    if (streamPosition == ours.topLeft())
        return false;
    const QList<QScreen*> screens = QGuiApplication::screens();
    return std::any_of(screens.cbegin(), screens.cend(), [&](const QScreen* screen) {
        return screen->geometry().topLeft() == streamPosition;
    });
}

} // namespace

WaylandScrollStart::WaylandScrollStart(const WaylandScrollDisplay::Output& output,
                                       const QRectF& region, QRect layout, QString outputPath)
    : output_(output)
    , region_(region)
    , layout_(layout)
    , outputPath_(std::move(outputPath)) {
    connect(&portal_, &ScreenCastPortal::started, this, &WaylandScrollStart::streamStarted);
    connect(&portal_, &ScreenCastPortal::cancelled, this, [] { QCoreApplication::exit(1); });
    connect(&portal_, &ScreenCastPortal::failed, this, &WaylandScrollStart::fail);
    formatPoll_.setInterval(formatPollMs);
    connect(&formatPoll_, &QTimer::timeout, this, &WaylandScrollStart::waitForFormat);
}

void WaylandScrollStart::start() {
    portal_.start(helperSettings().value(tokenKey).toString());
}

void WaylandScrollStart::streamStarted(int fd, const ScreenCastPortal::Stream& stream,
                                       const QString& token) {
    if (!token.isEmpty()) {
        QSettings settings = helperSettings();
        settings.setValue(tokenKey, token);
        settings.sync();
        // Without the token the desktop only asks again next time: worth a word, not a stop.
        if (settings.status() != QSettings::NoError)
            std::fputs("qxscroll: the screen cast's permission could not be kept; the desktop "
                       "will ask again\n",
                       stderr);
    }
    QString problem;
    frames_ = PipeWireFrames::open(fd, stream.node, &problem);
    if (!frames_)
        return fail(problem);
    // The desktop may share another screen than the region's, chosen in its
    // dialog. Desktops differ in the units of the stream's position, so only
    // a position that is plainly another screen's counts.
    if (stream.position && sharesAnotherScreen(*stream.position, output_.geometry))
        return fail(AppLocale::text("the desktop shares another screen; share %1, which holds "
                                    "the region",
                                    "別の画面が共有されました。範囲のある %1 を共有してください")
                        .arg(output_.name));
    sinceStream_.start();
    formatPoll_.start();
}

void WaylandScrollStart::waitForFormat() {
    if (const QString problem = frames_->problem(); !problem.isEmpty())
        return fail(problem);
    const QSize size = frames_->size();
    if (size.isEmpty()) {
        if (sinceStream_.elapsed() >= formatDeadlineMs)
            fail(QStringLiteral("the screen cast sent no pictures"));
        return;
    }
    formatPoll_.stop();
    output_.pixelsPerUnit = qreal(size.width()) / output_.geometry.width();
    startSession();
}

void WaylandScrollStart::startSession() {
    QString problem;
    display_ = WaylandScrollDisplay::connect(std::move(frames_), output_, layout_, &problem);
    if (!display_)
        return fail(problem);
    // Native units: the output's pixels from its corner, as X11's root pixels are.
    const QPointF corner = output_.geometry.topLeft();
    const qreal scale = output_.pixelsPerUnit;
    const QRectF pixels(corner + (region_.topLeft() - corner) * scale, region_.size() * scale);
    const ScreenPlacement placement{
        QRect(output_.geometry.topLeft(), (QSizeF(output_.geometry.size()) * scale).toSize()),
        scale};
    const QRect region = pixels.toAlignedRect().intersected(placement.geometry);
    session_ = std::make_unique<ScrollSession>(*display_, placement, region, outputPath_);
    if (!session_->start())
        QCoreApplication::exit(2);
}

void WaylandScrollStart::fail(const QString& reason) {
    formatPoll_.stop();
    std::fprintf(stderr, "qxscroll: %s\n", qUtf8Printable(reason));
    QCoreApplication::exit(2);
}
