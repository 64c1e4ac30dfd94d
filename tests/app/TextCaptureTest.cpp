#include "TextCapture.h"

#include "Notice.h"
#include "SandboxHome.h"
#include "TestFiles.h"
#include "TestImages.h"

#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Stand-ins for qxcapture and qxocr. The capture tool adds its output path to
// "output" as it starts, then waits while "hold" exists, then writes a picture, writes nothing (a
// cancel) or fails, as its mode file says; the recogniser leaves "qxocr.ran", then answers every
// path with the JSON members in "answer", or dies when that says "crash".
class TextCaptureWithFakeTools : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestImages::filled(40, 30, Qt::white).save(home.file("picture.png")));
        TestFiles::writeScript(home.file("tools/qxcapture"), R"(
dir=$(dirname "$0")
for out; do :; done
echo "$out" >> "$dir/output"
while [ -e "$dir/hold" ]; do sleep 0.01; done
case $(cat "$dir/mode") in
  picture) cp "$dir/../picture.png" "$out"; exit 0 ;;
  fail) echo "qxcapture: the screen could not be read" >&2; exit 2 ;;
esac
exit 1
)");
        TestFiles::writeScript(home.file("tools/qxocr"), R"(
dir=$(dirname "$0")
touch "$dir/qxocr.ran"
while IFS= read -r p; do
  answer=$(cat "$dir/answer")
  [ "$answer" = crash ] && kill -SEGV $$
  printf '{"path": "%s", %s}\n' "$p" "$answer"
done
)");
        setMode("picture");
        answer(R"("text": "Error 0x80070005\n権限がありません")");
        QGuiApplication::clipboard()->setText(QStringLiteral("before"));
    }

    void setMode(const QByteArray& mode) const { TestFiles::write(home.file("tools/mode"), mode); }
    void answer(const QByteArray& members) const {
        TestFiles::write(home.file("tools/answer"), members);
    }
    TextCaptureResult capture() {
        QSignalSpy finished(&text, &TextCapture::finished);
        text.start();
        if (!finished.wait(20'000)) {
            ADD_FAILURE() << "the text capture did not end";
            return {};
        }
        return finished.first().at(0).value<TextCaptureResult>();
    }
    QString clipboard() const { return QGuiApplication::clipboard()->text(); }

    SandboxHome home;
    CaptureRunner runner{home.file("tools")};
    WarmOcrHelper helper{home.file("tools/qxocr"), {60'000, 10'000}};
    TextCapture text{runner, helper};
};

TEST_F(TextCaptureWithFakeTools, TheRegionsLinesGoOnTheClipboardAndItsPictureNowhere) {
    TestFiles::write(home.file("tools/hold"));
    QSignalSpy finished(&text, &TextCapture::finished);
    text.start();
    text.start();
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(home.file("tools/qxocr.ran")); }))
        << "the recogniser loads while the person is still choosing";
    QFile::remove(home.file("tools/hold"));
    ASSERT_TRUE(finished.wait(20'000));
    // A second tool would have started with the first, long before the hold ended.
    const QStringList outputs = QString::fromUtf8(TestFiles::read(home.file("tools/output")))
                                    .split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(outputs.size(), 1) << "a second start while one runs does nothing";
    const auto result = finished.first().at(0).value<TextCaptureResult>();
    EXPECT_EQ(result.kind, TextCaptureResult::Kind::copied);
    EXPECT_EQ(result.lineCount(), 2);
    EXPECT_EQ(clipboard(), "Error 0x80070005\n権限がありません");
    const QString picture = outputs.first();
    EXPECT_FALSE(QFileInfo::exists(QFileInfo(picture).path())) << "the picture is removed";
    EXPECT_FALSE(picture.startsWith(home.file(".glimvault")));
    EXPECT_FALSE(QDir(home.file(".glimvault/captures")).exists());
}

TEST_F(TextCaptureWithFakeTools, WithoutTextOrOnAnyFailureTheClipboardStaysAsItWas) {
    struct Case {
        const char* mode;
        const char* answer;
        TextCaptureResult::Kind kind;
        const char* detail;
    };
    const Case cases[] = {
        {"picture", R"("text": " \n ")", TextCaptureResult::Kind::noText, ""},
        {"picture", R"("error": "too large: 9000x7000 pixels")", TextCaptureResult::Kind::failed,
         "too large: 9000x7000 pixels"},
        {"picture", "crash", TextCaptureResult::Kind::failed, "the text recogniser crashed"},
        {"cancel", R"("text": "x")", TextCaptureResult::Kind::cancelled, ""},
        {"fail", R"("text": "x")", TextCaptureResult::Kind::failed, "the screen could not be read"},
    };
    for (const Case& c : cases) {
        setMode(c.mode);
        answer(c.answer);
        const TextCaptureResult result = capture();
        EXPECT_EQ(result.kind, c.kind) << c.mode << " " << c.answer;
        EXPECT_EQ(result.detail, c.detail) << c.mode << " " << c.answer;
        EXPECT_EQ(clipboard(), "before") << c.mode << " " << c.answer;
    }
    setMode("picture");
    answer(R"("text": "after a crash")");
    EXPECT_EQ(capture().kind, TextCaptureResult::Kind::copied) << "a fresh recogniser";
    EXPECT_EQ(clipboard(), "after a crash");
}

TEST(TextCaptureNotice, SaysHowManyLinesWereCopiedOrWhyNone) {
    using Kind = TextCaptureResult::Kind;
    const auto notice = [](Kind kind, const QString& text, const QString& detail = {}) {
        return Notice::forTextCapture({kind, text, detail});
    };
    EXPECT_EQ(notice(Kind::copied, "One line")->title, "Copied 1 line of text");
    const std::optional<Notice> three = notice(Kind::copied, "  First\n\nSecond\nThird\n");
    EXPECT_EQ(three->title, "Copied 3 lines of text");
    EXPECT_EQ(three->body, "First");
    EXPECT_FALSE(three->failure);
    EXPECT_EQ(notice(Kind::noText, {})->title, "No text found");
    EXPECT_FALSE(notice(Kind::cancelled, {}));
    const std::optional<Notice> large = notice(Kind::failed, {}, "too large: 9000x7000 pixels");
    EXPECT_TRUE(large->failure);
    EXPECT_EQ(large->body,
              "The region is too large to read (9000x7000 pixels). The clipboard was left as it "
              "was.");
}

} // namespace
