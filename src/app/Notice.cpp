#include "Notice.h"

#include "AppLocale.h"

#include <QFileInfo>

std::optional<Notice> Notice::forCapture(const QString& path, CaptureRunner::Outcome outcome,
                                         const QString& detail) {
    const QString folder = QFileInfo(path).path();
    switch (outcome) {
    case CaptureRunner::Outcome::copied:
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

Notice Notice::forForeignIndex(const QString& databasePath, const QString& detail) {
    return {AppLocale::text("Screenshots are not being indexed",
                            "スクリーンショットのインデックスを作成していません"),
            AppLocale::text("%1 is not a Glimber index (%2). Glimber leaves it alone; move it "
                            "away and a new index is made.",
                            "%1 は Glimber のインデックスではありません（%2）。このファイルには"
                            "手を付けません。別の場所へ移すと新しいインデックスを作成します。")
                .arg(databasePath, detail)};
}
