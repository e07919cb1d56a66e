// The number editor as a widget: keys typed into it, plain and digits-only boxes, the guard on
// Qt's own editing, and the leave-editing signal.
#include "ui/controls/number_edit.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFocusEvent>
#include <QSignalSpy>
#include <QTest>
#include <functional>

namespace ledgerix {
namespace {

struct Sequence {
  const char* name;
  const char* text;  // set after SetDecimals(2)
  int sel_begin, sel_end;
  std::function<void(NumberEdit&)> keys;
  const char* expected;
  int caret;  // -1: where Qt leaves it
};

TEST(NumberEditTest, KeysTypedEndToEnd) {
  const auto click = [](Qt::Key key, int times = 1, Qt::KeyboardModifiers modifiers = {}) {
    return [=](NumberEdit& edit) {
      for (int i = 0; i < times; ++i) QTest::keyClick(&edit, key, modifiers);
    };
  };
  const auto type = [](const char* keys) {
    return [=](NumberEdit& edit) { QTest::keyClicks(&edit, QString::fromLatin1(keys)); };
  };
  const Sequence sequences[] = {
      {"comma", "0.00", 0, 0, type("12,5"), "12.50", 4},
      {"before 1", "1234.50", 0, 0, type("7"), "71234.50", 1},
      {"selection", "1234.50", 0, 7, type("9"), "9.00", 1},
      {"ignored", "12.50", 1, 1, type("x y+"), "12.50", 1},
      {"backspace", "123.45", 4, 4, click(Qt::Key_Backspace, 2), "1.45", 1},
      {"delete", "12.34", 3, 3, click(Qt::Key_Delete, 3), "12.00", 5},
      {"selected delete", "1234.56", 0, 4, click(Qt::Key_Delete), "0.56", 0},
      {"arrows", "12.50", 0, 0,
       [](NumberEdit& edit) {
         QTest::keyClick(&edit, Qt::Key_Right);
         QTest::keyClick(&edit, Qt::Key_Right);
         QTest::keyClicks(&edit, "7");
         QTest::keyClick(&edit, Qt::Key_End);
         QTest::keyClick(&edit, Qt::Key_Backspace);
         QTest::keyClicks(&edit, "8");
       },
       "127.58", 6},
      // Qt's own word deletion would take "." with it and is turned back.
      {"word delete", "1234.50", 7, 7, click(Qt::Key_Backspace, 1, Qt::ControlModifier), "1234.50",
       -1},
  };
  for (const Sequence& s : sequences) {
    NumberEdit edit;
    edit.SetDecimals(2);
    edit.setText(QString::fromLatin1(s.text));
    edit.setSelection(s.sel_begin, s.sel_end - s.sel_begin);
    if (s.sel_begin == s.sel_end) edit.setCursorPosition(s.sel_begin);
    s.keys(edit);
    EXPECT_EQ(edit.text().toStdString(), s.expected) << s.name;
    if (s.caret < 0) continue;
    EXPECT_EQ(edit.cursorPosition(), s.caret) << s.name;
    EXPECT_FALSE(edit.hasSelectedText()) << s.name;
  }
}

TEST(NumberEditTest, PasteAndCutKeepTheNumberForm) {
  NumberEdit edit;
  edit.SetDecimals(2);
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText(QStringLiteral("1 234,5"));
  QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit.text().toStdString(), "1234.50");
  clipboard->setText(QStringLiteral("12abc"));
  QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(edit.text().toStdString(), "1234.50");
  edit.setSelection(2, 2);
  QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text().toStdString(), "34");
  EXPECT_EQ(edit.text().toStdString(), "12.50");

  // Editing that bypasses the keys (context menu, drops) is kept only while the form holds.
  edit.setCursorPosition(2);
  edit.insert(QStringLiteral("7"));
  EXPECT_EQ(edit.text().toStdString(), "127.50");
  edit.insert(QStringLiteral("x"));
  edit.setSelection(1, 3);
  edit.del();
  EXPECT_EQ(edit.text().toStdString(), "127.50");
}

TEST(NumberEditTest, DecimalsSetTheStartingText) {
  NumberEdit edit;
  EXPECT_EQ(edit.Decimals(), 0);
  EXPECT_EQ(edit.text().toStdString(), "");
  edit.SetDecimals(2);
  EXPECT_EQ(edit.Decimals(), 2);
  EXPECT_EQ(edit.text().toStdString(), "0.00");
  edit.SetDecimals(0);
  EXPECT_EQ(edit.text().toStdString(), "");
  edit.SetDecimals(-1);
  EXPECT_EQ(edit.Decimals(), 0);
}

TEST(NumberEditTest, PlainAndDigitsOnlyBoxesWithoutDecimals) {
  const struct {
    bool digits_only;
    const char* expected;
  } cases[] = {{false, "ab.1-x"}, {true, "1"}};
  for (const auto& c : cases) {
    NumberEdit edit;
    edit.SetDecimals(2);
    edit.SetDigitsOnly(c.digits_only);
    edit.SetDecimals(0);
    QTest::keyClicks(&edit, "ab.1-x2");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text().toStdString(), c.expected) << c.digits_only;
    edit.insert(QStringLiteral("2a"));
    EXPECT_EQ(edit.text().toStdString(), std::string(c.expected) + (c.digits_only ? "" : "2a"))
        << c.digits_only;
  }
}

TEST(NumberEditTest, LeavingTheEditorIsSignalled) {
  QWidget window;
  NumberEdit editor(&window);
  QLineEdit other(&window);
  other.move(0, 40);
  NumberEdit* edit = &editor;
  window.show();
  window.activateWindow();
  QApplication::setActiveWindow(&window);
  QSignalSpy left(edit, &NumberEdit::LeftEditing);
  edit->setFocus();
  ASSERT_TRUE(edit->hasFocus());
  EXPECT_EQ(left.count(), 0);
  other.setFocus();
  EXPECT_EQ(left.count(), 1);

  // A context menu of the editor's own does not end the editing; every other loss does.
  const struct {
    Qt::FocusReason reason;
    int emitted;
  } cases[] = {{Qt::PopupFocusReason, 0},
               {Qt::MouseFocusReason, 1},
               {Qt::TabFocusReason, 1},
               {Qt::ActiveWindowFocusReason, 1},
               {Qt::OtherFocusReason, 1}};
  for (const auto& c : cases) {
    QSignalSpy spy(edit, &NumberEdit::LeftEditing);
    QFocusEvent event(QEvent::FocusOut, c.reason);
    QApplication::sendEvent(edit, &event);
    EXPECT_EQ(spy.count(), c.emitted) << c.reason;
  }
}

}  // namespace
}  // namespace ledgerix
