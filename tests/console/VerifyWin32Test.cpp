#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "certs/FileSystem.h"
#include "certs/MessageSignature.h"
#include "console/StandaloneCommands.h"
#include "tests/console/FileDialogDescription.h"
#include "tests/console/ScriptedUi.h"

// The signed files of testing/pki/make-signed-files.sh, made before these
// tests run.
namespace {

std::wstring SignedFile(const std::wstring& name) {
  return (std::filesystem::u8path(TESSEL_SIGNED_FILES_DIR) / name).wstring();
}

const FileDialogRequest kSignatureFile = OpenRequest(L"Signed Files", L"*.p7m;*.p7s", L".p7s");
const FileDialogRequest kDataFile = OpenRequest(L"All files", L"*.*", L"");

struct VerifyCase {
  const wchar_t* signature;
  // The answer to the data-file dialog, when the command asks for one:
  // nullptr cancels it.
  std::optional<const wchar_t*> dataFile;
  // The verdict shown, or nullptr for none.
  const wchar_t* verdict;
};

TEST(VerifyWin32, ChecksEachSignatureAgainstTheContentItCovers) {
  const VerifyCase cases[] = {
      // Detached, the content beside the signature.
      {L"document.txt.p7s", std::nullopt, L"OK"},
      // The same signature beside other content: signed attributes hold the
      // content's digest, which Wine's own check does not compare.
      {L"altered.txt.p7s", std::nullopt, L"Fail"},
      {L"plain.txt.p7s", std::nullopt, L"OK"},
      {L"plain-altered.txt.p7s", std::nullopt, L"Fail"},
      // Nothing beside the signature: the user picks the data file.
      {L"lonely.p7s", L"document.txt", L"OK"},
      {L"lonely.p7s", L"altered.txt", L"Fail"},
      {L"lonely.p7s", L"missing.txt", L"Fail"},
      {L"lonely.p7s", nullptr, nullptr},
      // Enveloping.
      {L"enveloped.p7m", std::nullopt, L"OK"},
      {L"enveloped-empty.p7m", std::nullopt, L"OK"},
      {L"enveloped-tampered.p7m", std::nullopt, L"Fail"},
      {L"enveloped-plain-tampered.p7m", std::nullopt, L"Fail"},
      // No signed message at all, or no file.
      {L"garbage.p7s", std::nullopt, L"Fail"},
      {L"signer.cer", std::nullopt, L"Fail"},
      {L"missing.p7s", std::nullopt, L"Fail"},
  };
  for (const VerifyCase& c : cases) {
    SCOPED_TRACE(std::wstring(c.signature) + L" / " +
                 (c.dataFile ? (*c.dataFile ? *c.dataFile : L"cancel") : L"beside"));
    ScriptedUi ui;
    ui.fileAnswers.push_back(SignedFile(c.signature));
    if (c.dataFile) {
      ui.fileAnswers.push_back(*c.dataFile ? std::optional<std::wstring>(SignedFile(*c.dataFile))
                                           : std::nullopt);
    }
    RunVerifyWin32(ui);

    ASSERT_EQ(ui.fileRequests.size(), c.dataFile ? 2u : 1u);
    EXPECT_EQ(Describe(ui.fileRequests[0]), Describe(kSignatureFile));
    if (c.dataFile) {
      EXPECT_EQ(Describe(ui.fileRequests[1]), Describe(kDataFile));
    }
    if (c.verdict == nullptr) {
      EXPECT_TRUE(ui.messageBoxes.empty());
      continue;
    }
    ASSERT_EQ(ui.messageBoxes.size(), 1u);
    EXPECT_EQ(ui.messageBoxes[0].text, c.verdict);
    EXPECT_EQ(ui.messageBoxes[0].owner, ui.window);
    EXPECT_FALSE(ui.messageBoxes[0].caption.has_value());
    EXPECT_EQ(ui.messageBoxes[0].type, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(ui.output, L"");
  }
}

TEST(VerifyWin32, CancelledDialogShowsNothing) {
  ScriptedUi ui;
  RunVerifyWin32(ui);
  EXPECT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_TRUE(ui.messageBoxes.empty());
}

TEST(SignatureForm, ToldByTheMessageNotByTheName) {
  const struct {
    const wchar_t* file;
    varnok::SignatureForm form;
  } cases[] = {
      {L"document.txt.p7s", varnok::SignatureForm::Detached},
      {L"plain.txt.p7s", varnok::SignatureForm::Detached},
      {L"enveloped.p7m", varnok::SignatureForm::Enveloping},
      // Both give the system no content bytes.
      {L"enveloped-empty.p7m", varnok::SignatureForm::Enveloping},
      {L"empty.txt.p7s", varnok::SignatureForm::Detached},
      {L"garbage.p7s", varnok::SignatureForm::NotSigned},
      {L"signer.cer", varnok::SignatureForm::NotSigned},
      {L"document.txt", varnok::SignatureForm::NotSigned},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    varnok::ByteList bytes;
    ASSERT_TRUE(varnok::ReadFileBytes(SignedFile(c.file).c_str(), bytes));
    EXPECT_EQ(varnok::SignatureFormOf(bytes), c.form);
  }
  EXPECT_EQ(varnok::SignatureFormOf({}), varnok::SignatureForm::NotSigned);
}

}  // namespace
