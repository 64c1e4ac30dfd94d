#include "MixedText.h"

#include <QStringList>

#include <algorithm>
#include <array>

namespace {

const QStringList commonEnglish =
    QStringLiteral(
        "the of and to a in is you that it for on with as are this be at or from by not your have "
        "all new more an was we will can about if my has but our one other do no time they he up "
        "may what which their out use any there see only so his when here who also now help get "
        "view first been would how were me some these click like service than find price date back "
        "top people had list name just over state year day into email two health world next used "
        "go "
        "work last most products music buy data make them should product system post her city add "
        "policy number such please available copyright support message after best software then "
        "good video well where info rights public books high school through each links she review "
        "years order very privacy book items company read group need many user said does set under "
        "general research university mail full map reviews program life know games way days "
        "management part could great united hotel real item international center ebay must store "
        "travel comments made development report off member details line terms before hotels did "
        "send right type because local those using results office education national car design "
        "take posted internet address community within states area want phone shipping reserved "
        "subject between forum family long based code show even black check special prices website "
        "index being women much sign file link open today technology south case project same pages "
        "version section own found sports house related security both county american photo game "
        "members power while care network down computer systems three total place end following "
        "download without access think north resources current posts big media law control water "
        "history pictures size art personal since including guide shop directory board location "
        "change white text small rating rate government children during return students shopping "
        "account times sites level digital profile previous form events love old john main call "
        "hours image department title description insurance another why shall property class still "
        "money quality every listing content country private little visit save tools low reply "
        "customer december compare movies include college value article york man card jobs provide "
        "settings preview toolbar export document window edit cancel delete folder search upload")
        .split(u' ');

const QStringList commonJapanese =
    QStringLiteral(
        "設定 検索 保存 ファイル 編集 表示 ヘルプ ウィンドウ 画面 開く 閉じる 削除 追加 送信 返信 "
        "確認 キャンセル 名前 日付 時間 更新 作成 変更 選択 全て コピー 貼り付け 切り取り 印刷 "
        "ダウンロード アップロード ログイン ログアウト パスワード ユーザー アカウント メール "
        "メッセージ 通知 お知らせ プロフィール ホーム 戻る 次へ 前へ 完了 エラー 警告 情報 成功 "
        "失敗 読み込み中 しばらくお待ちください 会議 予定 今日 明日 昨日 来週 今月 資料 報告 "
        "売上 顧客 請求書 見積もり 契約 担当者 部署 会社 株式会社 東京 大阪 お疲れ様です "
        "よろしくお願いします ありがとうございます 申し訳ありません 了解です 承知しました "
        "確認します "
        "対応 共有 リンク フォルダ ドキュメント スプレッドシート プレゼン グラフ 表 写真 動画 "
        "音声 カメラ 地図 天気 ニュース 価格 注文 配送 支払い 合計 税込 無料 割引 ポイント "
        "カート 商品 在庫 詳細 レビュー 評価 人気 新着 おすすめ ランキング 検索結果 件 円 "
        "こちら について による ための として における から まで より です ます でした ません "
        "する した して される できる ある いる なる この その あの どの これ それ 私 私たち")
        .split(u' ');

// Every particle, ending or separator that glues Japanese words together.
const QStringList glue =
    QStringLiteral("の は が を に で と も へ や 、 。 ・ ます です").split(u' ');

const char16_t* syllables[] = {u"ka", u"ro", u"ti", u"ne", u"sa", u"lu", u"mi", u"po",
                               u"de", u"ga", u"ve", u"li", u"on", u"ar", u"en", u"st",
                               u"tr", u"ch", u"br", u"al", u"er", u"in", u"or", u"an",
                               u"ex", u"pl", u"qu", u"fi", u"wo", u"ya", u"zu", u"hy"};

// A weight per rank, 1/rank, turned into a running sum.
std::vector<double> zipfWeights(std::size_t count) {
    std::vector<double> cumulative(count);
    double sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += 1.0 / double(i + 1);
        cumulative[i] = sum;
    }
    return cumulative;
}

} // namespace

MixedText::MixedText(unsigned seed)
    : random_(seed) {
    std::mt19937_64 vocabulary(12345);
    english_.assign(commonEnglish.begin(), commonEnglish.end());
    while (english_.size() < 20'000) {
        QString word;
        const int parts = 2 + int(vocabulary() % 4);
        for (int i = 0; i < parts; ++i)
            word += QString::fromUtf16(syllables[vocabulary() % std::size(syllables)]);
        english_.push_back(word);
    }
    englishWeights_ = zipfWeights(english_.size());

    // Kanji compounds of two or three characters from the 3,000 most used
    // ideographs' range; U+9B31 is left out, the bench plants it by hand.
    japanese_.assign(commonJapanese.begin(), commonJapanese.end());
    std::vector<char16_t> kanji;
    for (char16_t c = 0x4E00; kanji.size() < 3000; c += 7) {
        if (c != 0x9B31)
            kanji.push_back(c);
    }
    while (japanese_.size() < 20'000) {
        QString word;
        const int length = 2 + int(vocabulary() % 2);
        for (int i = 0; i < length; ++i) {
            // Low positions more often, as common kanji are.
            const double u = double(vocabulary() % 1'000'000) / 1e6;
            word += QChar(kanji[std::size_t(u * u * double(kanji.size()))]);
        }
        japanese_.push_back(word);
    }
    japaneseWeights_ = zipfWeights(japanese_.size());
}

int MixedText::zipf(const std::vector<double>& cumulative) {
    std::uniform_real_distribution<double> pick(0, cumulative.back());
    return int(std::lower_bound(cumulative.begin(), cumulative.end(), pick(random_)) -
               cumulative.begin());
}

QString MixedText::englishWord() {
    QString word = english_[std::size_t(zipf(englishWeights_))];
    const auto style = random_() % 100;
    if (style < 15)
        word[0] = word[0].toUpper();
    else if (style < 17)
        word = word.toUpper();
    return word;
}

QString MixedText::japaneseWord() {
    return japanese_[std::size_t(zipf(japaneseWeights_))];
}

QString MixedText::number() {
    switch (random_() % 4) {
    case 0:
        return QStringLiteral("%1:%2").arg(random_() % 24).arg(random_() % 60, 2, 10, QChar(u'0'));
    case 1:
        return QStringLiteral("¥%1").arg(random_() % 100'000);
    case 2:
        return QStringLiteral("%1%").arg(random_() % 101);
    default:
        return QStringLiteral("2025/%1/%2").arg(1 + random_() % 12).arg(1 + random_() % 28);
    }
}

QString MixedText::screen(int characters) {
    // How much Japanese this screen holds: none, some, or mostly.
    const int japanesePercent = std::array{5, 5, 30, 30, 70}[random_() % 5];
    const bool code = random_() % 10 == 0;
    QString text;
    int wordsOnLine = 0;
    while (text.size() < characters) {
        const auto roll = int(random_() % 100);
        if (roll < japanesePercent) {
            text += japaneseWord();
            if (random_() % 2 == 0)
                text += glue[qsizetype(random_() % std::size_t(glue.size()))];
        } else if (roll < japanesePercent + 4) {
            text += number() + u' ';
        } else if (code && roll % 5 == 0) {
            text += englishWord() + u'_' + englishWord() + u'(' + number() + QStringLiteral(") ");
        } else {
            text +=
                englishWord() + (random_() % 12 == 0 ? QStringLiteral(", ") : QStringLiteral(" "));
        }
        if (++wordsOnLine > 6 + int(random_() % 6)) {
            text += u'\n';
            wordsOnLine = 0;
        }
    }
    return text;
}
