#pragma once

#include <QWidget>

class QLabel;

// The second tab of the settings window: the program's icon, name, version and
// tagline, and whether it starts at login. It writes nothing.
class AboutView : public QWidget {
    Q_OBJECT

public:
    explicit AboutView(QWidget* parent = nullptr);

protected:
    // The login row shows the registration as it is each time the page shows,
    // not the unsaved toggle of the general tab.
    void showEvent(QShowEvent* event) override;

private:
    QLabel* icon_;
    QLabel* login_;
};
