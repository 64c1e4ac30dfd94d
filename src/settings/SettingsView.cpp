#include "SettingsView.h"

#include "AboutView.h"
#include "AppLocale.h"
#include "GeneralSettingsView.h"

#include <QIcon>

namespace {

// Icon themes that carry only the symbolic variant (Adwaita) still get an icon.
QIcon themeIcon(const QString& name) {
    return QIcon::fromTheme(name, QIcon::fromTheme(name + QStringLiteral("-symbolic")));
}

} // namespace

SettingsView::SettingsView(QWidget* parent)
    : QTabWidget(parent)
    , general_(new GeneralSettingsView)
    , about_(new AboutView) {
    setDocumentMode(true);
    addTab(general_, themeIcon(QStringLiteral("preferences-system")),
           AppLocale::text("Settings", "設定"));
    addTab(about_, themeIcon(QStringLiteral("help-about")), AppLocale::text("About", "情報"));
    setFixedSize(fixedSize);
    connect(general_, &GeneralSettingsView::saved, this, &SettingsView::saved);
}
