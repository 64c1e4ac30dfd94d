#include "TrayToolTip.h"

#include "AppLocale.h"

QString trayToolTip(const TrayState& state) {
    QString tip = QStringLiteral("Glimber");
    if (state.indexingPaused)
        tip += AppLocale::text(" — indexing paused", " — インデックス作成は一時停止中");
    else if (state.pending == 1)
        tip += AppLocale::text(" — 1 screenshot waiting for text recognition",
                               " — 文字認識待ちのスクリーンショット 1 件");
    else if (state.pending > 1)
        tip += AppLocale::text(" — %1 screenshots waiting for text recognition",
                               " — 文字認識待ちのスクリーンショット %1 件")
                   .arg(state.pending);
    if (!state.lastCapture.isEmpty())
        tip += AppLocale::text("\nLast capture: %1", "\n最後の撮影: %1").arg(state.lastCapture);
    return tip;
}
