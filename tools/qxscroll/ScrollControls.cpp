#include "ScrollControls.h"

#include "AppLocale.h"

#include <QHBoxLayout>
#include <QLocale>

ScrollControls::ScrollControls()
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus)
    , height_(new QLabel(this))
    , message_(new QLabel(this))
    , autoScroll_(new QPushButton(AppLocale::text("Auto-scroll", "自動スクロール"), this)) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    auto* done = new QPushButton(AppLocale::text("Done", "完了"), this);
    auto* cancel = new QPushButton(AppLocale::text("Cancel", "キャンセル"), this);
    autoScroll_->setCheckable(true);
    // Return and Escape are taken for the whole display instead: the keyboard
    // focus stays on the page being scrolled.
    for (QPushButton* button : {done, autoScroll_, cancel})
        button->setFocusPolicy(Qt::NoFocus);
    message_->setStyleSheet(QStringLiteral("color: #b00020"));
    message_->hide();
    layout->addWidget(done);
    layout->addWidget(autoScroll_);
    layout->addWidget(cancel);
    layout->addWidget(height_);
    layout->addWidget(message_);
    connect(done, &QPushButton::clicked, this, &ScrollControls::doneClicked);
    connect(cancel, &QPushButton::clicked, this, &ScrollControls::cancelClicked);
    connect(autoScroll_, &QPushButton::toggled, this, &ScrollControls::autoScrollToggled);
    showHeight(0);
}

void ScrollControls::showHeight(int pixels) {
    const QString text = QStringLiteral("%1 px").arg(QLocale().toString(pixels));
    if (height_->text() == text)
        return;
    height_->setText(text);
    Q_EMIT changed();
}

void ScrollControls::showMessage(const QString& text) {
    if (message_->text() == text)
        return;
    message_->setText(text);
    message_->setVisible(!text.isEmpty());
    adjustSize();
    Q_EMIT changed();
}

void ScrollControls::setAutoScrolling(bool on) {
    const QSignalBlocker quiet(autoScroll_);
    autoScroll_->setChecked(on);
    Q_EMIT changed();
}

void ScrollControls::setAutoScrollOffered(bool offered) {
    autoScroll_->setVisible(offered);
    adjustSize();
}
