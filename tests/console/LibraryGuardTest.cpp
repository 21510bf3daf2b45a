// The console outlives a library that fails: each way the substitute can
// fail is reported, the library is released and the next command runs.
#include <gtest/gtest.h>

#include <string>

#include "console/LibraryCall.h"
#include "console/LibraryDialogCommands.h"
#include "tests/console/ScriptedUi.h"
#include "tests/testing/SubstituteSession.h"

namespace {

bool TesselLoaded() { return GetModuleHandleW(L"Tessel.dll") != nullptr; }

std::wstring CodeText(DWORD code) {
  wchar_t text[16] = {};
  swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(code));
  return text;
}

// Runs "ShowAboutBox" with the substitute failing in the way `fault`, after
// earlier text in the pane; returns the report shown.
std::wstring FailOnce(SubstituteSession& session, ScriptedUi& ui, const std::string& fault) {
  session.SetScript("ATesselShowAboutBox fault " + fault + "\n");
  const size_t boxes = ui.messageBoxes.size();
  const std::wstring before = ui.output;
  RunShowAboutBox(ui);
  EXPECT_EQ(ui.messageBoxes.size(), boxes + 1) << fault.c_str();
  if (ui.messageBoxes.size() != boxes + 1) return L"";
  const ScriptedUi::MessageBoxShown& box = ui.messageBoxes.back();
  EXPECT_EQ(box.owner, ui.window);
  EXPECT_FALSE(box.caption.has_value());
  EXPECT_EQ(box.type, static_cast<UINT>(MB_OK | MB_ICONERROR));
  // The pane keeps what it had and gains the report as a line.
  EXPECT_EQ(ui.output, before + box.text + L"\r\n");
  EXPECT_FALSE(TesselLoaded()) << fault.c_str();
  return box.text;
}

}  // namespace

TEST(LibraryGuard, EachEscapingFaultIsReportedAndTheNextCommandRuns) {
  const struct {
    const char* fault;
    DWORD code;
    const wchar_t* access;  // the operation named for an access violation
  } cases[] = {
      {"null-write", EXCEPTION_ACCESS_VIOLATION, L", write at 0x0"},
      {"read-unmapped", EXCEPTION_ACCESS_VIOLATION, L", read at 0x"},
      {"execute-data", EXCEPTION_ACCESS_VIOLATION, L", execute at 0x"},
      {"divide-by-zero", EXCEPTION_INT_DIVIDE_BY_ZERO, nullptr},
      // Twice: the first one's guard page must be back for the second.
      {"stack-overflow", EXCEPTION_STACK_OVERFLOW, nullptr},
      {"stack-overflow", EXCEPTION_STACK_OVERFLOW, nullptr},
      {"foreign-exception", 0xE06D7363, nullptr},
  };
  SubstituteSession session;
  ScriptedUi ui;
  ui.output = L"Earlier command's line\r\n";
  int aboutCalls = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fault);
    const std::wstring report = FailOnce(session, ui, c.fault);
    const std::wstring head = L"ATesselShowAboutBox failed: exception " + CodeText(c.code);
    EXPECT_EQ(report.rfind(head, 0), 0u) << report;
    EXPECT_NE(report.find(L" at Tessel.dll+0x"), std::wstring::npos) << report;
    if (c.access != nullptr) {
      EXPECT_NE(report.find(c.access), std::wstring::npos) << report;
    }
    ++aboutCalls;

    // The next command loads the library afresh and runs.
    session.SetScript("ATesselShowAboutBox return 1\n");
    const size_t boxes = ui.messageBoxes.size();
    RunShowAboutBox(ui);
    EXPECT_EQ(ui.messageBoxes.size(), boxes);
    ++aboutCalls;
  }
  EXPECT_EQ(tessel_substitute::RecordsNamed(session.Calls(), "ATesselShowAboutBox").size(),
            static_cast<size_t>(aboutCalls));
  EXPECT_EQ(ui.output.rfind(L"Earlier command's line\r\n", 0), 0u);
}

TEST(LibraryGuard, ExceptionsTheLibraryHandlesItselfAreNotItsFailure) {
  SubstituteSession session;
  ScriptedUi ui;
  session.SetScript("ATesselShowAboutBox fault handled-exception\nATesselShowAboutBox box done\n");
  RunShowAboutBox(ui);
  EXPECT_TRUE(ui.messageBoxes.empty());
  EXPECT_EQ(ui.output, L"");
  EXPECT_EQ(tessel_substitute::RecordsNamed(session.Calls(), "ATesselShowAboutBox:box").size(), 1u);
}

TEST(LibraryGuard, AFailingInitialisationIsReportedUnderItsOwnName) {
  SubstituteSession session;
  ScriptedUi ui;
  session.SetScript("ATesselInit fault null-write\n");
  RunShowAboutBox(ui);
  ASSERT_EQ(ui.messageBoxes.size(), 1u);
  EXPECT_EQ(ui.messageBoxes[0].text.rfind(L"ATesselInit failed: exception 0xC0000005", 0), 0u);
  EXPECT_TRUE(tessel_substitute::RecordsNamed(session.Calls(), "ATesselShowAboutBox").empty());
  EXPECT_FALSE(TesselLoaded());
}
