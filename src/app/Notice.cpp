#include "Notice.h"

#include "AppLocale.h"

#include <QFileInfo>

std::optional<Notice> Notice::forCapture(const QString& path, CaptureRunner::Outcome outcome,
                                         const QString& detail) {
    const QString folder = QFileInfo(path).path();
    switch (outcome) {
    case CaptureRunner::Outcome::copied:
    case CaptureRunner::Outcome::written:
    case CaptureRunner::Outcome::noFile:
        return std::nullopt;
    case CaptureRunner::Outcome::failed:
        return Notice{
            AppLocale::text("Screenshot not saved", "スクリーンショットを保存できませんでした"),
            AppLocale::text("Nothing was saved in %1.", "%1 には何も保存されていません。")
                    .arg(folder) +
                (detail.isEmpty() ? QString() : u'\n' + detail)};
    case CaptureRunner::Outcome::unreadable:
        return Notice{
            AppLocale::text("Screenshot unreadable", "スクリーンショットを読み込めません"),
            AppLocale::text("%1 holds no image and was not copied. The file was kept.",
                            "%1 は画像として読み込めないため、コピーしていません。"
                            "ファイルはそのまま残しています。")
                .arg(path)};
    case CaptureRunner::Outcome::toolNotStarted:
        return Notice{
            AppLocale::text("No screenshot taken", "スクリーンショットを撮れませんでした"),
            AppLocale::text("The capture tool could not be started: %1",
                            "キャプチャツールを起動できませんでした: %1")
                .arg(detail)};
    }
    return std::nullopt;
}

std::optional<Notice> Notice::forTextCapture(const TextCaptureResult& result) {
    switch (result.kind) {
    case TextCaptureResult::Kind::cancelled:
        return std::nullopt;
    case TextCaptureResult::Kind::copied: {
        const int lines = result.lineCount();
        const QString firstLine = result.text.section(u'\n', 0, 0).trimmed();
        return Notice{
            lines == 1
                ? AppLocale::text("Copied 1 line of text", "1 行のテキストをコピーしました")
                : AppLocale::text("Copied %1 lines of text", "%1 行のテキストをコピーしました")
                      .arg(lines),
            firstLine, false};
    }
    case TextCaptureResult::Kind::noText:
        return Notice{
            AppLocale::text("No text found", "テキストが見つかりません"),
            AppLocale::text("The clipboard was left as it was.", "クリップボードはそのままです。"),
            false};
    case TextCaptureResult::Kind::failed:
        break;
    }
    // The recogniser names a picture over its pixel budget "too large: WxH pixels".
    const bool tooLarge = result.detail.startsWith(QLatin1String("too large"));
    return Notice{AppLocale::text("Text not read", "テキストを読み取れませんでした"),
                  tooLarge ? AppLocale::text("The region is too large to read (%1). The "
                                             "clipboard was left as it was.",
                                             "範囲が大きすぎて読み取れません（%1）。"
                                             "クリップボードはそのままです。")
                                 .arg(result.detail.section(QLatin1String(": "), 1))
                           : AppLocale::text("%1\nThe clipboard was left as it was.",
                                             "%1\nクリップボードはそのままです。")
                                 .arg(result.detail)};
}

Notice Notice::forNoCaptureKeys(const QString& reason) {
    return {AppLocale::text("No keys start a capture", "撮影を始めるキーがありません"),
            AppLocale::text("The desktop offers no shortcuts to Glimber (%1), and Glimber may not "
                            "read the keyboards. Bind glimber --capture-region, glimber "
                            "--capture-window and glimber --capture-text to keys in the desktop's "
                            "keyboard settings; the tray menu works meanwhile.",
                            "デスクトップのショートカットが使えず（%1）、キーボードも読めません。"
                            "デスクトップのキーボード設定で glimber --capture-region、glimber "
                            "--capture-window、glimber --capture-text にキーを割り当ててください。"
                            "その間もトレイのメニューは使えます。")
                .arg(reason)};
}

Notice Notice::forForeignIndex(const QString& databasePath, const QString& detail) {
    return {AppLocale::text("Screenshots are not being indexed",
                            "スクリーンショットのインデックスを作成していません"),
            AppLocale::text("%1 is not a Glimber index (%2). Glimber leaves it alone; move it "
                            "away and a new index is made.",
                            "%1 は Glimber のインデックスではありません（%2）。このファイルには"
                            "手を付けません。別の場所へ移すと新しいインデックスを作成します。")
                .arg(databasePath, detail)};
}
