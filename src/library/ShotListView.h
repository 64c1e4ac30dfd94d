#pragma once

#include <QListView>

// The list of shots: one column of painted rows, single selection, rows that
// can be dragged out as files. Up on the first row hands the keyboard back to
// whoever is above the list.
class ShotListView : public QListView {
    Q_OBJECT

public:
    explicit ShotListView(QWidget* parent = nullptr);

Q_SIGNALS:
    void upFromFirstRow();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
};
