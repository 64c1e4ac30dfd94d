#pragma once

#include <QLabel>
#include <QPushButton>
#include <QWidget>

// The small bar beside the region: "Done", "Auto-scroll", "Cancel", the
// height captured so far and, when something needs the person, a message.
class ScrollControls : public QWidget {
    Q_OBJECT

public:
    ScrollControls();

    void showHeight(int pixels);
    // An empty text hides the message.
    void showMessage(const QString& text);
    void setAutoScrolling(bool on);
    // Without wheel steps to send, the button is not shown.
    void setAutoScrollOffered(bool offered);

Q_SIGNALS:
    // What the bar shows changed, its size perhaps too.
    void changed();
    void doneClicked();
    void cancelClicked();
    void autoScrollToggled(bool on);

private:
    QLabel* height_;
    QLabel* message_;
    QPushButton* autoScroll_;
};
