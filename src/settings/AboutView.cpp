#include "AboutView.h"

#include "AppLocale.h"
#include "BuildVersion.h"
#include "LoginItem.h"
#include "SettingsLook.h"

#include <QApplication>
#include <QFrame>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QVBoxLayout>

namespace {

constexpr int iconSize = 88;

// "1.0.0 (57)": the version and build number this program was built with; an
// empty part shows as "?".
QString appVersion(const QString& version, const QString& build) {
    const QString unknown = QStringLiteral("?");
    return (version.isEmpty() ? unknown : version) + QStringLiteral(" (") +
           (build.isEmpty() ? unknown : build) + QLatin1Char(')');
}

QLabel* centred(const QString& text) {
    auto* label = new QLabel(text);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

} // namespace

AboutView::AboutView(QWidget* parent)
    : QWidget(parent)
    , icon_(new QLabel)
    , login_(new QLabel) {
    icon_->setFixedSize(iconSize, iconSize);

    QLabel* name = centred(QStringLiteral("Glimber"));
    SettingsLook::scaleFont(*name, 1.6, true);
    QLabel* version =
        centred(AppLocale::text("Version", "バージョン") + QLatin1Char(' ') +
                appVersion(QStringLiteral(GLIMBER_VERSION), QStringLiteral(GLIMBER_BUILD_NUMBER)));
    version->setObjectName(QStringLiteral("version"));
    SettingsLook::scaleFont(*version, 0.85);
    SettingsLook::makeSecondary(*version);
    QLabel* tagline = centred(AppLocale::text("Search everything you ever screenshotted.",
                                              "撮ったスクショを、全部あとから検索。"));
    SettingsLook::makeSecondary(*tagline);

    auto* divider = new QFrame;
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);

    auto* loginRow = new QHBoxLayout;
    loginRow->setContentsMargins(8, 0, 8, 0);
    loginRow->addWidget(new QLabel(AppLocale::text("Launch at login", "ログイン時に起動")));
    loginRow->addStretch();
    login_->setObjectName(QStringLiteral("login"));
    SettingsLook::makeSecondary(*login_);
    loginRow->addWidget(login_);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(24, 24, 24, 24);
    column->setSpacing(14);
    column->addStretch();
    column->addWidget(icon_, 0, Qt::AlignHCenter);
    column->addWidget(name);
    column->addWidget(version);
    column->addWidget(tagline);
    column->addSpacing(4);
    column->addWidget(divider);
    column->addSpacing(4);
    column->addLayout(loginRow);
    column->addStretch();
}

void AboutView::showEvent(QShowEvent* event) {
    icon_->setPixmap(QApplication::windowIcon().pixmap(iconSize, iconSize));
    login_->setText(LoginItem::isEnabled() ? AppLocale::text("On", "オン")
                                           : AppLocale::text("Off", "オフ"));
    QWidget::showEvent(event);
}
