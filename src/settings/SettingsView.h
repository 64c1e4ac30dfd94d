#pragma once

#include <QTabWidget>

class AboutView;
class GeneralSettingsView;

// The content of the settings window: the general settings and the About page
// as two tabs, at a fixed size.
class SettingsView : public QTabWidget {
    Q_OBJECT

public:
    static constexpr QSize fixedSize{480, 664};

    explicit SettingsView(QWidget* parent = nullptr);

    GeneralSettingsView& general() const { return *general_; }
    AboutView& about() const { return *about_; }

Q_SIGNALS:
    // The general settings were written.
    void saved();

private:
    GeneralSettingsView* general_;
    AboutView* about_;
};
