// A console dialog running modally on its own UI thread for one test.
#pragma once

#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "app/TesselTestDlg.h"
#include "tests/app/DialogDriver.h"

class ConsoleFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    ui_ = std::make_unique<dialog_test::UiThread>([this] {
      // As in the application: the console is the main window, the owner
      // of the dialogs and boxes it opens.
      CTesselTestDlg dlg;
      dialogObject_ = &dlg;
      console_ = &dlg;
      AfxGetApp()->m_pMainWnd = &dlg;
      result_ = dlg.DoModal();
    });
    ASSERT_TRUE(dialog_test::WaitFor([this] {
      dialog_ = dialog_test::FindThreadDialog(ui_->Id(), L"TesselTest");
      return dialog_ != nullptr;
    })) << "the console dialog did not appear";
  }

  void TearDown() override {
    EXPECT_TRUE(dialog_test::CloseThreadWindows(*ui_)) << "the console did not close";
    ui_->Join();
  }

  HWND Item(int id) const { return ::GetDlgItem(dialog_, id); }

  // Closes the console and waits for its modal loop to end.
  void CloseAndWait() {
    ::PostMessageW(dialog_, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(dialog_test::WaitFor([this] { return ui_->Finished(); }));
  }

  std::unique_ptr<dialog_test::UiThread> ui_;
  // The dialog object, for its user interface as the commands see it; its
  // calls reach the controls through their window messages.
  std::atomic<ConsoleUi*> console_{nullptr};
  // The dialog object itself, whose address the callbacks' user value names.
  std::atomic<CTesselTestDlg*> dialogObject_{nullptr};
  HWND dialog_ = nullptr;
  INT_PTR result_ = 0;
};
