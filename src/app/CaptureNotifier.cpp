#include "CaptureNotifier.h"

#include "AppLocale.h"
#include "FileManager.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGuiApplication>

namespace {

// Notifications older than these are long gone from any screen.
constexpr std::size_t remembered = 16;

const QString annotateKey = QStringLiteral("annotate");
const QString showKey = QStringLiteral("show-in-folder");
const QString copyTextKey = QStringLiteral("copy-text");

} // namespace

CaptureNotifier::CaptureNotifier(NotificationCenter& center, QObject* parent)
    : QObject(parent)
    , center_(center) {
    connect(&center_, &NotificationCenter::actionInvoked, this, &CaptureNotifier::act);
}

void CaptureNotifier::captured(const QString& path) {
    shown_.push_back({path, 0, {}});
    if (shown_.size() > remembered)
        shown_.pop_front();
    show(shown_.back());
}

void CaptureNotifier::textRead(const QString& path, const QString& text) {
    Shown* shot = find(path);
    if (!shot || text.trimmed().isEmpty())
        return;
    shot->text = text;
    // Before the server has given an id, the first notification is still on
    // its way; its answer brings the text along.
    if (shot->id != 0 && center_.hasButtons())
        show(*shot);
}

CaptureNotifier::Shown* CaptureNotifier::find(const QString& path) {
    for (auto shot = shown_.rbegin(); shot != shown_.rend(); ++shot) {
        if (shot->path == path)
            return &*shot;
    }
    return nullptr;
}

void CaptureNotifier::show(const Shown& shot) {
    NotificationCenter::Message message{
        AppLocale::text("Screenshot saved", "スクリーンショットを保存しました"),
        QFileInfo(shot.path).fileName(),
        shot.path,
        {{annotateKey, AppLocale::text("Annotate…", "注釈…")},
         {showKey, AppLocale::text("Show in Folder", "フォルダで表示")}}};
    if (!shot.text.isEmpty())
        message.actions.append({copyTextKey, AppLocale::text("Copy Text", "テキストをコピー")});
    const bool first = shot.id == 0;
    center_.show(message, shot.id,
                 [this, path = shot.path, first, withText = !shot.text.isEmpty()](uint id) {
                     Shown* shown = find(path);
                     if (!shown || id == 0)
                         return;
                     shown->id = id;
                     if (first && !withText && !shown->text.isEmpty() && center_.hasButtons())
                         show(*shown);
                 });
}

void CaptureNotifier::act(uint id, const QString& key) {
    const auto shot =
        std::find_if(shown_.begin(), shown_.end(), [id](const Shown& s) { return s.id == id; });
    if (shot == shown_.end())
        return;
    if (key == annotateKey)
        Q_EMIT annotateRequested(shot->path);
    else if (key == showKey)
        FileManager::showItem(shot->path);
    else if (key == copyTextKey)
        QGuiApplication::clipboard()->setText(shot->text);
}
