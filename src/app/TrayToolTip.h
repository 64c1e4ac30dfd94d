#pragma once

#include <QString>

// What the tray icon's tooltip tells at a glance.
struct TrayState {
    qint64 pending = 0;          // screenshots still waiting for text recognition
    bool indexingPaused = false; // automatic text recognition is switched off
    QString lastCapture;         // file name of this run's newest capture
};

// "Glimber", then what the indexer is doing, then the newest capture on a line
// of its own; in the program's language.
QString trayToolTip(const TrayState& state);
