#include "DesktopShortcuts.h"

#include "AppLocale.h"

#include <QSettings>
#include <QUuid>

namespace {

struct Command {
    const char* name;
    const char* english;
    const char* japanese;
    const char* preferredKeys;
};

// The portal's notation for keys; Print alone is the usual screenshot key.
constexpr Command commands[] = {
    {"capture-region", "Capture Region", "範囲を撮る", "Print"},
    {"capture-window", "Capture Window", "ウィンドウを撮る", "SHIFT+Print"},
    {"capture-scroll", "Scrolling Capture", "スクロールで撮る", "CTRL+Print"},
    {"capture-text", "Capture Text", "テキストを取り込む", "CTRL+SHIFT+Print"},
    {"library", "Library", "ライブラリ", ""},
};

QString descriptionOf(const QString& name) {
    for (const Command& command : commands) {
        if (name == QLatin1String(command.name))
            return AppLocale::text(command.english, command.japanese);
    }
    return name;
}

// Made once and kept, so that every start asks for the same session.
QString sessionToken() {
    QSettings settings;
    const QString key = QStringLiteral("globalShortcutsToken");
    QString token = settings.value(key).toString();
    if (token.isEmpty()) {
        token = QStringLiteral("glimber_") + QUuid::createUuid().toString(QUuid::Id128).left(12);
        settings.setValue(key, token);
    }
    return token;
}

} // namespace

void DesktopShortcuts::start() {
    connect(&portal_, &GlobalShortcutsPortal::activated, this, &DesktopShortcuts::commandRequested);
    connect(&portal_, &GlobalShortcutsPortal::bound, this,
            [this](const QList<GlobalShortcutsPortal::Binding>& bindings) {
                kind_ = DesktopShortcutState::Kind::bound;
                bindings_ = bindings;
                Q_EMIT stateChanged();
            });
    connect(&portal_, &GlobalShortcutsPortal::unavailable, this, [this](const QString& reason) {
        kind_ = DesktopShortcutState::Kind::unavailable;
        problem_ = reason;
        Q_EMIT stateChanged();
        Q_EMIT unavailable(reason);
    });
    QList<GlobalShortcutsPortal::Shortcut> shortcuts;
    for (const Command& command : commands)
        shortcuts.append({QLatin1String(command.name),
                          AppLocale::text(command.english, command.japanese),
                          QLatin1String(command.preferredKeys)});
    kind_ = DesktopShortcutState::Kind::waiting;
    portal_.start(sessionToken(), shortcuts);
}

DesktopShortcutState DesktopShortcuts::state() {
    DesktopShortcutState state;
    state.kind = kind_;
    state.problem = problem_;
    for (const GlobalShortcutsPortal::Binding& binding : bindings_)
        state.bindings.append({descriptionOf(binding.id), binding.trigger});
    if (portal_.canConfigure())
        state.configure = [this] { portal_.configure(); };
    return state;
}
