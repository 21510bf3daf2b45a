// Appending to a pane: always at the end, whatever the user selected.
#include <gtest/gtest.h>

#include "app/EditEnh.h"
#include "tests/app/DialogDriver.h"

namespace {

class EditEnhTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HWND window = ::CreateWindowExW(0, L"Edit", L"",
                                    WS_POPUP | ES_MULTILINE | ES_READONLY | WS_VSCROLL | WS_HSCROLL,
                                    0, 0, 300, 60, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(pane_.SubclassWindow(window));
  }
  void TearDown() override { pane_.DestroyWindow(); }

  std::wstring Text() const { return dialog_test::WindowText(pane_.GetSafeHwnd()); }

  CEditEnh pane_;
};

TEST_F(EditEnhTest, AppendLineAddsTextAndLineBreak) {
  pane_.AppendLine(L"първи ред");
  pane_.AppendLine(L"");
  pane_.AppendText(L"");
  pane_.AppendText(L"край");
  EXPECT_EQ(Text(), L"първи ред\r\n\r\nкрай");
}

TEST_F(EditEnhTest, NullTextCountsAsEmpty) {
  pane_.AppendText(nullptr);
  pane_.AppendLine(nullptr);
  EXPECT_EQ(Text(), L"\r\n");
}

TEST_F(EditEnhTest, TextGoesToTheEndEvenWithASelection) {
  pane_.AppendLine(L"alpha");
  pane_.AppendLine(L"beta");
  pane_.SetSel(0, 5);  // "alpha" selected
  pane_.AppendText(L"gamma");
  EXPECT_EQ(Text(), L"alpha\r\nbeta\r\ngamma");
  // The caret ends after the new text.
  int start = 0;
  int end = 0;
  pane_.GetSel(start, end);
  EXPECT_EQ(start, 18);
  EXPECT_EQ(end, 18);
  // Not undoable: the pane has nothing to undo.
  EXPECT_FALSE(pane_.SendMessage(EM_CANUNDO, 0, 0));
}

TEST_F(EditEnhTest, ManyLinesScrollTheEndIntoView) {
  for (int i = 0; i < 50; ++i) pane_.AppendLine((L"line " + std::to_wstring(i)).c_str());
  int first = static_cast<int>(pane_.SendMessage(EM_GETFIRSTVISIBLELINE, 0, 0));
  EXPECT_GT(first, 40);
}

}  // namespace
