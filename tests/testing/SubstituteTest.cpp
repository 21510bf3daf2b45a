#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cwchar>

#include "console/TesselContract.h"
#include "testing/SubstituteText.h"
#include "tests/testing/SubstituteSession.h"

namespace {

using tessel_substitute::EscapeText;
using tessel_substitute::UnescapeText;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

TEST(SubstituteText, EscapesRoundTripEveryText) {
  const std::wstring texts[] = {
      L"",
      L"plain",
      L"back\\slash \"quoted\"",
      L"tab\tCR\rLF\n",
      std::wstring(L"nul\0inside", 10),
      L"\x01\x1F\x7F",
      L"Кирилица и emoji \xD83D\xDE00",
      L"lone \xD800 high and \xDC00 low",
  };
  for (const std::wstring& text : texts) {
    const std::string escaped = EscapeText(text);
    EXPECT_EQ(escaped.find_first_of("\t\r\n"), std::string::npos);
    EXPECT_EQ(UnescapeText(escaped), text);
  }
  EXPECT_EQ(EscapeText(L"a\tb\\"), "a\\tb\\\\");
  EXPECT_EQ(EscapeText(L"\x01"), "\\u0001");
}

// Loads the substitute by its bare name as the console does.
class Substitute {
 public:
  Substitute() : module_(LoadLibraryW(L"Tessel.dll")) {}
  ~Substitute() {
    if (module_ != nullptr) FreeLibrary(module_);
  }
  Substitute(const Substitute&) = delete;
  Substitute& operator=(const Substitute&) = delete;

  template <typename Export>
  Export Get(const char* name) {
    return reinterpret_cast<Export>(reinterpret_cast<void (*)()>(GetProcAddress(module_, name)));
  }
  bool Loaded() const { return module_ != nullptr; }

 private:
  HMODULE module_;
};

std::vector<std::wstring>* g_lines = nullptr;
int __cdecl CollectLine(TesselUserValue, const wchar_t* text) {
  g_lines->push_back(text != nullptr ? text : L"<null>");
  return 1;
}

TEST(Substitute, BuildsExportTheirSetsOfNames) {
  const char* all[] = {"ATesselInit",
                       "ATesselShowSettingsDialog",
                       "ATesselShowAboutBox",
                       "ATesselSignFileJson",
                       "ATesselSignInfoJson",
                       "ATesselSelectCertificateJson",
                       "ATesselCertInfoJson",
                       "ATesselIsP7S",
                       "ATesselP7M2P7S",
                       "ATesselSignFileFilter",
                       "ATesselDecryptVerifyFile",
                       "ATesselEncryptFile",
                       "ATesselSignAndEncryptFile",
                       "ATesselExtractFile",
                       "ATesselCertStoreInfo",
                       "ATesselSelectCertificate"};
  struct Case {
    SubstituteSession::Build build;
    const char* missing;
  };
  for (const Case& c : {Case{SubstituteSession::Build::Full, ""},
                        Case{SubstituteSession::Build::NoInit, "ATesselInit"},
                        Case{SubstituteSession::Build::NoAbout, "ATesselShowAboutBox"}}) {
    SubstituteSession session(c.build);
    Substitute library;
    ASSERT_TRUE(library.Loaded());
    for (const char* name : all) {
      const bool expected = std::string(name) != c.missing;
      EXPECT_EQ(library.Get<FARPROC>(name) != nullptr, expected) << name << " in " << c.missing;
    }
  }
}

TEST(Substitute, LogsTextsVerbatimAndBuffersWithRoomAndZeros) {
  SubstituteSession session;
  Substitute library;
  ASSERT_TRUE(library.Loaded());
  std::vector<wchar_t> output(kSignFileFilterBufferChars, L'\0');
  output[10] = L'x';  // one character that is not zero
  library.Get<ATesselSignFileFilterFn>("ATesselSignFileFilter")(L"C:\\път\\файл.txt\t", 2,
                                                                output.data(), 0);
  const auto calls = tessel_substitute::RecordsNamed(session.Calls(), "ATesselSignFileFilter");
  ASSERT_EQ(calls.size(), 1u);
  EXPECT_EQ(calls[0].Text("path"), L"C:\\път\\файл.txt\t");
  EXPECT_EQ(calls[0].Int("signMode"), 2);
  EXPECT_EQ(calls[0].Text("output"), L"");
  EXPECT_EQ(calls[0].Int("output.room"), 500);
  EXPECT_EQ(calls[0].Int("output.zeros"), 499);
  EXPECT_EQ(calls[0].Int("reserved"), 0);
}

TEST(Substitute, BufferDirectivesWriteWithinTheRoom) {
  SubstituteSession session;
  const std::string longText(700, 'L');
  session.SetScript(
      "ATesselSelectCertificate buffer 0 Иван\n"
      "ATesselSelectCertificate buffer 1 " +
      longText +
      "\n"
      "ATesselSelectCertificate fill 3 #\n"
      "ATesselSelectCertificate return 3\n");
  Substitute library;
  std::vector<wchar_t> buffers[4];
  for (auto& buffer : buffers) buffer.assign(600, L'?');
  for (auto& buffer : buffers) std::fill(buffer.begin(), buffer.begin() + 302, L'\0');
  const int result = library.Get<ATesselSelectCertificateFn>("ATesselSelectCertificate")(
      buffers[0].data(), buffers[1].data(), buffers[2].data(), buffers[3].data());
  EXPECT_EQ(result, 3);
  EXPECT_EQ(std::wstring(buffers[0].data()), L"Иван");
  // Cut to 301 characters and the terminator; nothing beyond the room.
  EXPECT_EQ(std::wstring(buffers[1].data()), std::wstring(301, L'L'));
  EXPECT_EQ(buffers[1][302], L'?');
  EXPECT_EQ(buffers[2][0], L'\0');
  // A filled buffer has no terminator within its room.
  EXPECT_EQ(std::wstring(buffers[3].data(), 302), std::wstring(302, L'#'));
  EXPECT_EQ(buffers[3][302], L'?');
}

TEST(Substitute, ScriptProblemsAreLogged) {
  SubstituteSession session;
  session.SetScript("ATesselEncryptFile explode now\nATesselEncryptFile return 9\n");
  Substitute library;
  EXPECT_EQ(library.Get<ATesselEncryptFileFn>("ATesselEncryptFile")(L"f", nullptr), 9);
  const auto problems =
      tessel_substitute::RecordsNamed(session.Calls(), "ATesselEncryptFile:problem");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_THAT(problems[0].Text("text"), HasSubstr(L"explode"));
}

TEST(Substitute, WithoutScriptTheJsonExportsSendDemoLines) {
  SubstituteSession session;
  session.RemoveScript();
  Substitute library;
  std::vector<std::wstring> lines;
  g_lines = &lines;
  library.Get<ATesselSignFileJsonFn>("ATesselSignFileJson")(L"{\"a\":1}", CollectLine, 42);
  g_lines = nullptr;
  ASSERT_GE(lines.size(), 2u);
  EXPECT_THAT(lines[0], HasSubstr(L"SignFileJson"));
  EXPECT_THAT(lines[1], HasSubstr(L"{\"a\":1}"));
}

TEST(Substitute, WithoutScriptTheBufferExportsFillTheirBuffers) {
  SubstituteSession session;
  session.RemoveScript();
  Substitute library;
  wchar_t directory[1001] = L"C:\\docs";
  EXPECT_NE(
      library.Get<ATesselExtractFileFn>("ATesselExtractFile")(L"C:\\docs\\a.p7m", directory, 0, 0),
      0);
  EXPECT_EQ(std::wstring(directory), L"C:\\docs\\extracted-demo.txt");
  EXPECT_EQ(library.Get<ATesselIsP7SFn>("ATesselIsP7S")(L"C:\\A.P7S", nullptr, 0), 1);
  EXPECT_EQ(library.Get<ATesselIsP7SFn>("ATesselIsP7S")(L"C:\\a.p7m", nullptr, 0), 0);
}

}  // namespace
