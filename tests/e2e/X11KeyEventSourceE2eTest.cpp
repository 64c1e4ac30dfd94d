// The X11 key stream against a real X server: keys typed through XTest arrive
// as key events in the program's own codes, whichever window has the focus.
#include "VirtualKey.h"
#include "X11KeyEventSource.h"
#include "XSession.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int leftShift = 50;
constexpr int rightShift = 62;
constexpr int rightControl = 105;
constexpr int letterA = 38;

std::vector<KeyEvent> events(const QSignalSpy& spy) {
    std::vector<KeyEvent> result;
    for (const QList<QVariant>& arguments : spy)
        result.push_back(arguments.first().value<KeyEvent>());
    return result;
}

KeyEvent flags(std::uint16_t code, std::uint64_t bits) {
    return {KeyEvent::Type::flagsChanged, code, bits};
}

TEST(X11KeyEventSource, ModifiersAndLettersArriveInTheProgramsCodes) {
    X11KeyEventSource source;
    ASSERT_TRUE(source.start());
    QSignalSpy received(&source, &KeyEventSource::keyEvent);
    XSession x;
    x.key(rightShift, true);
    x.tap(letterA);
    x.key(leftShift, true);
    x.key(rightShift, false);
    x.key(leftShift, false);
    x.tap(rightControl);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() >= 6; }, 5000));
    QTest::qWait(100);
    const std::vector<KeyEvent> got = events(received);
    ASSERT_EQ(got.size(), 7u);
    EXPECT_EQ(got[0], flags(VirtualKey::rightShift, ModifierFlag::shift));
    EXPECT_EQ(got[1].type, KeyEvent::Type::keyDown);
    EXPECT_EQ(got[1].flags, ModifierFlag::shift);
    EXPECT_EQ(got[2], flags(VirtualKey::leftShift, ModifierFlag::shift));
    EXPECT_EQ(got[3], flags(VirtualKey::rightShift, ModifierFlag::shift))
        << "the left one still holds it";
    EXPECT_EQ(got[4], flags(VirtualKey::leftShift, 0));
    EXPECT_EQ(got[5], flags(VirtualKey::rightControl, ModifierFlag::control));
    EXPECT_EQ(got[6], flags(VirtualKey::rightControl, 0));
}

TEST(X11KeyEventSource, StopsListeningWhenStoppedAndCannotStartWithoutADisplay) {
    X11KeyEventSource source;
    ASSERT_TRUE(source.start());
    source.stop();
    QSignalSpy received(&source, &KeyEventSource::keyEvent);
    XSession().tap(rightShift);
    QTest::qWait(200);
    EXPECT_TRUE(received.isEmpty());
    EXPECT_FALSE(X11KeyEventSource(":9999").start());
}

} // namespace
