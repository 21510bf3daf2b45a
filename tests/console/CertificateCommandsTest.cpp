#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "certs/KeyStorageProviders.h"
#include "console/CertificateCommands.h"
#include "console/CertificateReportCallback.h"
#include "console/LibraryCall.h"
#include "tests/console/FileDialogDescription.h"
#include "tests/console/ScriptedUi.h"
#include "tests/testing/SubstituteSession.h"

namespace {

using tessel_substitute::CallRecord;
using tessel_substitute::RecordsNamed;
using ::testing::ElementsAre;

std::int64_t AddressValue(const void* address) {
  return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(address));
}

// The one call of `exportName`, checked for the console's callback and user
// value.
CallRecord OnlyCall(const SubstituteSession& session, const std::string& exportName, ConsoleUi& ui,
                    const void* callback) {
  const auto calls = RecordsNamed(session.Calls(), exportName);
  EXPECT_EQ(calls.size(), 1u);
  if (calls.empty()) return {};
  EXPECT_EQ(calls[0].Int("callback"), AddressValue(callback));
  EXPECT_EQ(calls[0].Int("userValue"), UserValueOf(ui));
  return calls[0];
}

const FileDialogRequest kSelectionFile =
    OpenRequest(L"Certificates", L"*.p12;*.pfx;*.cer;*.pem;*.crt;*.p7m;*.p7s", L".p12");
const FileDialogRequest kCertInfoFile =
    OpenRequest(L"Certificates", L"*.p12;*.pfx;*.cer;*.crt;*.p7b;*.pem", L".cer");

struct JsonSelectionCase {
  const char* name;
  std::wstring pane;
  int certFromWindows;
  bool asksForFile;
  std::wstring expectedJson;
};

TEST(SelectCertificateJson, BuildsItsParametersFromPaneBoxOrFile) {
  const JsonSelectionCase cases[] = {
      {"empty pane, box checked", L"", BST_CHECKED, false, L"{\"Store\":\"My\"}"},
      {"empty pane, box cleared", L"", BST_UNCHECKED, true, L"{\"Filename\":\"C:\\\\x\\\\a.p12\"}"},
      {"indeterminate counts as cleared", L"", BST_INDETERMINATE, true,
       L"{\"Filename\":\"C:\\\\x\\\\a.p12\"}"},
      {"pane with members, box cleared", L"{\"Filename\":\"D:\\\\c.pfx\",\"Password\":\"1\"}",
       BST_UNCHECKED, false, L"{\"Filename\":\"D:\\\\c.pfx\",\"Password\":\"1\"}"},
      {"pane with members, box checked", L"{\"Store\":\"Root\"}", BST_CHECKED, false,
       L"{\"Store\":\"Root\"}"},
      {"pane that does not load", L"not json", BST_CHECKED, false, L"{\"Store\":\"My\"}"},
      {"empty object", L"{}", BST_CHECKED, false, L"{\"Store\":\"My\"}"},
  };
  for (const JsonSelectionCase& c : cases) {
    SCOPED_TRACE(c.name);
    SubstituteSession session;
    session.SetScript("ATesselSelectCertificateJson callback Избран сертификат\n");
    ScriptedUi ui;
    ui.jsonInput = c.pane;
    ui.certFromWindowsCheck = c.certFromWindows;
    ui.fileAnswers = {L"C:\\x\\a.p12"};
    RunSelectCertificateJson(ui);

    EXPECT_EQ(ui.dataExchanges, 1);
    if (c.asksForFile) {
      ASSERT_EQ(ui.fileRequests.size(), 1u);
      EXPECT_EQ(Describe(ui.fileRequests[0]), Describe(kSelectionFile));
    } else {
      EXPECT_TRUE(ui.fileRequests.empty());
    }
    const CallRecord call = OnlyCall(session, "ATesselSelectCertificateJson", ui,
                                     reinterpret_cast<const void*>(&OutputLineCallback));
    EXPECT_EQ(call.Text("json"), c.expectedJson);
    EXPECT_EQ(ui.output, L"Избран сертификат\r\n");
    EXPECT_TRUE(ui.messageBoxes.empty());
  }
}

// A cancelled certificate dialog calls nothing but the initialisation.
TEST(CertificateCommands, CancelledDialogCallsNoExport) {
  for (void (*command)(ConsoleUi&) : {&RunSelectCertificateJson, &RunCertInfo}) {
    SubstituteSession session;
    ScriptedUi ui;
    ui.certFromWindowsCheck = BST_UNCHECKED;
    command(ui);
    EXPECT_EQ(ui.fileRequests.size(), 1u);
    EXPECT_THAT(session.CallNames(), ElementsAre("load", "ATesselInit", "unload"));
    EXPECT_EQ(ui.output, L"");
    EXPECT_TRUE(ui.messageBoxes.empty());
  }
}

TEST(CertInfo, PassesTheChosenFileAlone) {
  SubstituteSession session;
  ScriptedUi ui;
  // The pane plays no part.
  ui.jsonInput = L"{\"Store\":\"My\"}";
  ui.fileAnswers = {L"C:\\Сертификати\\лице.cer"};
  RunCertInfo(ui);
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(Describe(ui.fileRequests[0]), Describe(kCertInfoFile));
  const CallRecord call = OnlyCall(session, "ATesselCertInfoJson", ui,
                                   reinterpret_cast<const void*>(&OutputLineCallback));
  EXPECT_EQ(call.Text("json"), L"{\"Filename\":\"C:\\\\Сертификати\\\\лице.cer\"}");
}

TEST(SelectCertificate, ShowsOnlyTheCommonNameFromZeroedBuffers) {
  SubstituteSession session;
  session.SetScript(
      "ATesselSelectCertificate buffer 0 Иван Петров\n"
      "ATesselSelectCertificate buffer 1 AB12CD\n"
      "ATesselSelectCertificate buffer 2 01.01.2026\n"
      "ATesselSelectCertificate buffer 3 31.12.2027\n");
  ScriptedUi ui;
  RunSelectCertificate(ui);
  EXPECT_EQ(ui.output, L"Иван Петров\r\n");
  const auto calls = RecordsNamed(session.Calls(), "ATesselSelectCertificate");
  ASSERT_EQ(calls.size(), 1u);
  for (const char* buffer : {"commonName", "thumbprint", "notBefore", "notAfter"}) {
    SCOPED_TRACE(buffer);
    EXPECT_EQ(calls[0].Text(buffer), L"");
    EXPECT_EQ(calls[0].Int(std::string(buffer) + ".zeros"), 302);
  }
}

TEST(SelectCertificateOld, LabelsAllFourBuffersOnOneLine) {
  struct Case {
    const char* script;
    std::wstring expected;
  } cases[] = {
      {"ATesselSelectCertificate buffer 0 Иван Петров\n"
       "ATesselSelectCertificate buffer 1 AB12CD\n"
       "ATesselSelectCertificate buffer 2 01.01.2026\n"
       "ATesselSelectCertificate buffer 3 31.12.2027\n",
       L"CN: Иван Петров TP: AB12CD NB: 01.01.2026 NA: 31.12.2027\r\n"},
      // A selection that wrote nothing still gives the line of labels.
      {"", L"CN:  TP:  NB:  NA: \r\n"},
      {"ATesselSelectCertificate buffer 3 край\n", L"CN:  TP:  NB:  NA: край\r\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    SubstituteSession session;
    session.SetScript(c.script);
    ScriptedUi ui;
    RunSelectCertificateOld(ui);
    EXPECT_EQ(ui.output, c.expected);
    const auto calls = RecordsNamed(session.Calls(), "ATesselSelectCertificate");
    ASSERT_EQ(calls.size(), 1u);
    for (const char* buffer : {"commonName", "thumbprint", "notBefore", "notAfter"}) {
      EXPECT_EQ(calls[0].Int(std::string(buffer) + ".zeros"), 302) << buffer;
    }
  }
}

// A library that fills a buffer to its last character without a terminator
// gives a text cut at the buffer's room, never one read past it.
TEST(SelectCertificate, UnterminatedBufferEndsAtItsRoom) {
  SubstituteSession session;
  session.SetScript(
      "ATesselSelectCertificate fill 0 x\n"
      "ATesselSelectCertificate fill 1 y\n");
  ScriptedUi ui;
  RunSelectCertificate(ui);
  EXPECT_EQ(ui.output, std::wstring(kSelectCertificateChars, L'x') + L"\r\n");

  ScriptedUi old;
  RunSelectCertificateOld(old);
  // The substitute fills the 302 characters the contract promises; the
  // larger buffers of this command stay terminated after them.
  EXPECT_EQ(old.output, L"CN: " + std::wstring(kSelectCertificateChars + 1, L'x') + L" TP: " +
                            std::wstring(kSelectCertificateChars + 1, L'y') + L" NB:  NA: \r\n");
}

TEST(CertStoreInfoCng, ListsEachMicrosoftProviderButTheSmartCardOne) {
  SubstituteSession session;
  session.SetScript("ATesselCertStoreInfo report 0\t\tИван Петров\tAB12\n");
  ScriptedUi ui;
  const std::vector<std::wstring> providers = {
      L"Microsoft Software Key Storage Provider",   L"Vendor Key Storage Provider",
      L"Microsoft Smart Card Key Storage Provider", L"microsoft lower case",
      L"Microsoft Platform Crypto Provider",        L"Smart Microsoft",
  };
  RunCertStoreInfoCng(ui, [&] { return std::optional<std::vector<std::wstring>>(providers); });

  EXPECT_EQ(ui.output,
            L"Microsoft Software Key Storage Provider\r\n"
            L"CertName: Иван Петров; Thumbprint: AB12\r\n"
            L"Microsoft Platform Crypto Provider\r\n"
            L"CertName: Иван Петров; Thumbprint: AB12\r\n");
  const auto calls = RecordsNamed(session.Calls(), "ATesselCertStoreInfo");
  ASSERT_EQ(calls.size(), 2u);
  EXPECT_EQ(calls[0].Text("providerName"), L"Microsoft Software Key Storage Provider");
  EXPECT_EQ(calls[1].Text("providerName"), L"Microsoft Platform Crypto Provider");
  for (const CallRecord& call : calls) {
    EXPECT_EQ(call.Int("callback"),
              AddressValue(reinterpret_cast<const void*>(&CertificateReportCallback)));
    EXPECT_EQ(call.Int("userValue"), UserValueOf(ui));
  }
  EXPECT_TRUE(ui.messageBoxes.empty());
}

TEST(CertStoreInfoCng, FailedEnumerationShowsNothing) {
  SubstituteSession session;
  ScriptedUi ui;
  RunCertStoreInfoCng(ui, [] { return std::optional<std::vector<std::wstring>>(); });
  EXPECT_EQ(ui.output, L"");
  EXPECT_TRUE(ui.messageBoxes.empty());
  EXPECT_THAT(session.CallNames(), ElementsAre("load", "ATesselInit", "unload"));
}

TEST(CertStoreInfoCng, UsesTheSystemsProviders) {
  const auto system = varnok::KeyStorageProviderNames();
  ASSERT_TRUE(system.has_value());
  std::vector<std::wstring> expected;
  for (const std::wstring& name : *system) {
    if (name.find(L"Microsoft") != std::wstring::npos && name.find(L"Smart") == std::wstring::npos)
      expected.push_back(name);
  }
  ASSERT_FALSE(expected.empty()) << "the software provider is always there";

  SubstituteSession session;
  ScriptedUi ui;
  RunCertStoreInfoCng(ui);
  std::vector<std::wstring> asked;
  for (const CallRecord& call : RecordsNamed(session.Calls(), "ATesselCertStoreInfo"))
    asked.push_back(call.Text("providerName"));
  EXPECT_EQ(asked, expected);
}

}  // namespace
