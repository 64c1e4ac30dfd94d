#include "EditMenu.h"

#include <QApplication>
#include <QLineEdit>
#include <QShortcut>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

// A widget that edits something of its own, like a canvas with undo.
class Canvas : public QWidget {
    Q_OBJECT

public:
    Canvas() { setFocusPolicy(Qt::StrongFocus); }
    QStringList calls;

public Q_SLOTS:
    void undo() { calls.append("undo"); }
    void selectAll() { calls.append("selectAll"); }
};

class Page : public QWidget {
    Q_OBJECT

public:
    QStringList calls;

public Q_SLOTS:
    void copy() { calls.append("copy"); }
};

bool showAndActivate(QWidget& window) {
    window.show();
    QApplication::setActiveWindow(&window);
    return QTest::qWaitForWindowActive(&window);
}

TEST(EditMenu, ShortcutsReachTheFocusedWidgetOrTheNearestParentThatCanDoIt) {
    EditMenu menu;
    Page page;
    auto* canvas = new Canvas;
    (new QVBoxLayout(&page))->addWidget(canvas);
    ASSERT_TRUE(showAndActivate(page));
    canvas->setFocus();
    QTest::keyClick(&page, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&page, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&page, Qt::Key_C, Qt::ControlModifier); // the canvas cannot copy; its page can
    QTest::keyClick(&page, Qt::Key_V, Qt::ControlModifier); // nobody can paste: nothing happens
    EXPECT_EQ(canvas->calls, (QStringList{"undo", "selectAll"}));
    EXPECT_EQ(page.calls, QStringList{"copy"});
}

TEST(EditMenu, TextFieldsKeepTheirOwnEditingKeys) {
    EditMenu menu;
    QWidget window;
    auto* field = new QLineEdit;
    (new QVBoxLayout(&window))->addWidget(field);
    ASSERT_TRUE(showAndActivate(window));
    field->setFocus();
    QTest::keyClicks(field, "glimber");
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(field, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "");
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "glimber") << "one undo, not two";
    QTest::keyClick(field, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(field->text(), "");
    QTest::keyClick(field, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(field->text(), "glimber");
}

// This window was opened before the menu: it gets the menu's keys all the same.
TEST(EditMenu, AWindowsOwnBindingOfAKeyWinsAndWindowsOpenedBeforeTheMenuGetTheRest) {
    Canvas editor;
    int ownUndos = 0;
    QObject::connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Z), &editor),
                     &QShortcut::activated, [&] { ++ownUndos; });
    ASSERT_TRUE(showAndActivate(editor));
    EditMenu menu;
    editor.setFocus();
    QTest::keyClick(&editor, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&editor, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(ownUndos, 1);
    EXPECT_EQ(editor.calls, QStringList{"selectAll"});
}

} // namespace

#include "EditMenuTest.moc"
