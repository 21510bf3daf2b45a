#include "console/StandaloneCommands.h"

#include <cwchar>
#include <optional>

#include "certs/FileSystem.h"
#include "certs/MessageSignature.h"
#include "console/FileDialogRequests.h"
#include "foundation/file/PathText.h"

namespace {

// Fields: the file to sign, the signing mode, an empty field and the
// timestamp services to offer, the second one preselected. The list keeps
// its trailing comma.
constexpr wchar_t kTestParameters[] =
    L"C:\\Users\\qelmar\\Desktop\\test\\test.txt|2||"
    L"[{\"title\" : \"Sectigo\",\"url\" : \"http://timestamp.sectigo.com\"},"
    L"{\"title\" : \"B-Trust\",\"url\" : \"http://tsatest.b-trust.org\", \"selected\":\"true\"},]";

bool IsExistingFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The file a detached signature covers: the one beside it without the
// signature's extension, or else the one the user picks; nullopt when the
// user cancels.
std::optional<std::wstring> DataFileFor(ConsoleUi& ui, const std::wstring& signaturePath) {
  // x.pdf.p7s covers x.pdf; a name that is all extension (".p7s") names no
  // data file.
  if (!rozazar::extensionOf(signaturePath).empty()) {
    const std::wstring beside = rozazar::withoutExtension(signaturePath);
    if (IsExistingFile(beside)) return beside;
  }
  return ui.AskForFile(DataFileRequest());
}

// "OK" or "Fail" in the application's message box.
void ShowVerdict(ConsoleUi& ui, bool good) {
  ShowApplicationMessageBox(ui, good ? L"OK" : L"Fail");
}

}  // namespace

void RunVerifyWin32(ConsoleUi& ui) {
  const std::optional<std::wstring> signaturePath = ui.AskForFile(SignedFilesRequest(L".p7s"));
  if (!signaturePath) return;
  varnok::ByteList signature;
  varnok::ReadFileBytes(signaturePath->c_str(), signature);

  switch (varnok::SignatureFormOf(signature)) {
    case varnok::SignatureForm::Enveloping:
      ShowVerdict(ui, varnok::VerifyEnvelopingSignature(signature));
      return;
    case varnok::SignatureForm::Detached: {
      const std::optional<std::wstring> dataPath = DataFileFor(ui, *signaturePath);
      if (!dataPath) return;
      varnok::ByteList content;
      const bool read = varnok::ReadFileBytes(dataPath->c_str(), content);
      ShowVerdict(ui, read && varnok::VerifyDetachedSignature(signature, content));
      return;
    }
    case varnok::SignatureForm::NotSigned:
      ShowVerdict(ui, false);
      return;
  }
}

void RunTest(ConsoleUi& ui) {
  for (const std::wstring& field : SplitParameterString(kTestParameters)) {
    ui.ShowMessageBox(ui.OwnerWindow(), field.c_str(), nullptr, MB_OK);
  }
}

std::vector<std::wstring> SplitParameterString(const wchar_t* text) {
  std::vector<std::wstring> fields;
  if (text == nullptr || *text == L'\0') return fields;
  const std::wstring whole(text);
  size_t position = 0;
  for (;;) {
    const size_t bar = whole.find(L'|', position);
    if (bar == std::wstring::npos) {
      fields.push_back(whole.substr(position));
      return fields;
    }
    fields.push_back(whole.substr(position, bar - position));
    position = bar + 1;
    if (position >= whole.size()) return fields;
  }
}
