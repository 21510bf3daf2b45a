// The sixteen exports of the substitute Tessel.dll. Each records its call in
// the call log, then either follows the script or, without one, gives a
// small friendly demonstration.

#include <windows.h>

#include <cwchar>
#include <string>
#include <type_traits>

#include "console/TesselContract.h"
#include "testing/substitute/CallLogWriter.h"
#include "testing/substitute/Faults.h"
#include "testing/substitute/Script.h"

using tessel_substitute::CallLogRecord;
using tessel_substitute::CommitFault;
using tessel_substitute::Directive;
using tessel_substitute::LoadScript;
using tessel_substitute::Script;

namespace {

// The window handed to ATesselInit: the owner of the library's own boxes.
HWND g_owner = nullptr;

constexpr wchar_t kBoxCaption[] = L"Tessel.dll (substitute)";

// The least room the console promises for each output buffer, terminator
// included.
constexpr size_t kFilterRoom = kSignFileFilterBufferChars;
constexpr size_t kExtractRoom = kExtractBufferChars + 1;
constexpr size_t kSelectRoom = kSelectCertificateChars + 1;

// What one call hands over besides its texts.
struct Call {
  const char* name = "";
  TesselCallback callback = nullptr;
  TesselCertificateReportCallback reportCallback = nullptr;
  TesselUserValue userValue = 0;
  wchar_t* buffers[4] = {};
  size_t rooms[4] = {};
  int bufferCount = 0;
};

void LogProblems(const Call& call, const Script& script) {
  for (const std::wstring& problem : script.problems) {
    CallLogRecord((std::string(call.name) + ":problem").c_str())
        .Text("text", problem.c_str())
        .Write();
  }
}

int SendLine(const Call& call, const wchar_t* text) {
  if (call.callback == nullptr) {
    CallLogRecord((std::string(call.name) + ":problem").c_str())
        .Text("text", L"no callback to send to")
        .Write();
    return 0;
  }
  const int result = call.callback(call.userValue, text);
  CallLogRecord((std::string(call.name) + ":callback").c_str())
      .Text("text", text)
      .Int("returned", result)
      .Write();
  return result;
}

int SendReport(const Call& call, const TesselCertificateReport& report) {
  if (call.reportCallback == nullptr) return 0;
  const int result = call.reportCallback(call.userValue, report);
  CallLogRecord((std::string(call.name) + ":report").c_str())
      .Int("isError", report.isError)
      .Text("errorText", report.errorText)
      .Text("certName", report.certName)
      .Text("thumbprint", report.thumbprint)
      .Int("returned", result)
      .Write();
  return result;
}

int ShowBox(const Call& call, const wchar_t* text) {
  const int result = MessageBoxW(g_owner, text, kBoxCaption, MB_OK | MB_ICONINFORMATION);
  CallLogRecord((std::string(call.name) + ":box").c_str())
      .Text("text", text)
      .Pointer("owner", g_owner)
      .Int("returned", result)
      .Write();
  return result;
}

void WriteBuffer(const Call& call, int index, const std::wstring& text) {
  if (index < 0 || index >= call.bufferCount || call.buffers[index] == nullptr) return;
  const size_t length = text.size() < call.rooms[index] ? text.size() : call.rooms[index] - 1;
  wmemcpy(call.buffers[index], text.data(), length);
  call.buffers[index][length] = L'\0';
}

// Runs the script's directives; returns the scripted result, 0 by default.
std::int64_t Perform(const Call& call, const Script& script) {
  LogProblems(call, script);
  std::int64_t result = 0;
  for (const Directive& directive : script.directives) {
    switch (directive.kind) {
      case Directive::Kind::Callback:
        SendLine(call, directive.isNull ? nullptr : directive.text.c_str());
        break;
      case Directive::Kind::Report: {
        TesselCertificateReport report = {};
        report.isError = static_cast<std::uint8_t>(directive.value);
        const wchar_t* texts[3];
        for (int i = 0; i < 3; ++i) {
          texts[i] = directive.fields[i].present ? directive.fields[i].text.c_str() : nullptr;
        }
        report.errorText = texts[0];
        report.certName = texts[1];
        report.thumbprint = texts[2];
        report.notRead[0] = 0xDEADBEEF;
        report.notRead[1] = 0xFEEDFACE;
        SendReport(call, report);
        break;
      }
      case Directive::Kind::Buffer:
        WriteBuffer(call, directive.index, directive.text);
        break;
      case Directive::Kind::Fill:
        if (directive.index >= 0 && directive.index < call.bufferCount &&
            call.buffers[directive.index] != nullptr) {
          wmemset(call.buffers[directive.index], directive.text[0], call.rooms[directive.index]);
        }
        break;
      case Directive::Kind::Return:
        result = directive.value;
        break;
      case Directive::Kind::Box:
        ShowBox(call, directive.text.c_str());
        break;
      case Directive::Kind::Fault:
        CommitFault(directive.fault);
        break;
    }
  }
  return result;
}

std::wstring Safe(const wchar_t* text) { return text != nullptr ? text : L"(null)"; }

// An export name without its "ATessel" prefix, as wide text.
std::wstring ShortName(const char* exportName) {
  std::wstring name;
  for (const char* c = exportName + 7; *c != 0; ++c) name += static_cast<wchar_t>(*c);
  return name;
}

// The demonstration of the JSON exports: a few lines about what arrived.
void DemoJsonLines(const Call& call, const wchar_t* json) {
  SendLine(call, (L"Substitute Tessel.dll: " + ShortName(call.name) + L" was called.").c_str());
  SendLine(call, (L"Parameters: " + Safe(json)).c_str());
  SendLine(call, L"Заместителят не подписва и не проверява нищо; това е само демонстрация.");
}

bool EndsWithP7s(const wchar_t* path) {
  if (path == nullptr) return false;
  const size_t length = std::wcslen(path);
  return length >= 4 && _wcsicmp(path + length - 4, L".p7s") == 0;
}

int JsonExport(const char* name, const wchar_t* json, TesselCallback callback,
               TesselUserValue userValue) {
  CallLogRecord(name)
      .Text("json", json)
      .Pointer("callback", reinterpret_cast<const void*>(callback))
      .Int("userValue", userValue)
      .Write();
  Call call;
  call.name = name;
  call.callback = callback;
  call.userValue = userValue;
  const Script script = LoadScript(name);
  if (script.active) return static_cast<int>(Perform(call, script));
  DemoJsonLines(call, json);
  return 1;
}

int FileExport(const char* name, const wchar_t* path, void* reserved) {
  CallLogRecord(name).Text("path", path).Pointer("reserved", reserved).Write();
  Call call;
  call.name = name;
  const Script script = LoadScript(name);
  if (script.active) return static_cast<int>(Perform(call, script));
  ShowBox(call, (L"Substitute Tessel.dll: " + ShortName(name) + L"\n\n" + Safe(path) +
                 L"\n\nThis is only a demonstration; the file was not changed.")
                    .c_str());
  return 1;
}

}  // namespace

extern "C" {

int __cdecl ATesselInit(HWND owner) {
  g_owner = owner;
  CallLogRecord("ATesselInit").Pointer("owner", owner).Write();
  Call call;
  call.name = "ATesselInit";
  const Script script = LoadScript(call.name);
  return script.active ? static_cast<int>(Perform(call, script)) : 1;
}

int __cdecl ATesselShowSettingsDialog() {
  CallLogRecord("ATesselShowSettingsDialog").Write();
  Call call;
  call.name = "ATesselShowSettingsDialog";
  const Script script = LoadScript(call.name);
  if (script.active) return static_cast<int>(Perform(call, script));
  ShowBox(call,
          L"Settings of the substitute Tessel.dll\n\n"
          L"This stand-in for the signing library has nothing to set up.\n"
          L"Настройките на истинската библиотека се показват тук.");
  return 1;
}

int __cdecl ATesselShowAboutBox() {
  CallLogRecord("ATesselShowAboutBox").Write();
  Call call;
  call.name = "ATesselShowAboutBox";
  const Script script = LoadScript(call.name);
  if (script.active) return static_cast<int>(Perform(call, script));
  ShowBox(call,
          L"Substitute Tessel.dll\n\n"
          L"A stand-in for the signing library, for trying the console.\n"
          L"Заместител на библиотеката за подписване.");
  return 1;
}

int __cdecl ATesselSignFileJson(const wchar_t* json, TesselCallback callback,
                                TesselUserValue userValue) {
  return JsonExport("ATesselSignFileJson", json, callback, userValue);
}

int __cdecl ATesselSignInfoJson(const wchar_t* json, TesselCallback callback,
                                TesselUserValue userValue) {
  return JsonExport("ATesselSignInfoJson", json, callback, userValue);
}

int __cdecl ATesselSelectCertificateJson(const wchar_t* json, TesselCallback callback,
                                         TesselUserValue userValue) {
  return JsonExport("ATesselSelectCertificateJson", json, callback, userValue);
}

int __cdecl ATesselCertInfoJson(const wchar_t* json, TesselCallback callback,
                                TesselUserValue userValue) {
  return JsonExport("ATesselCertInfoJson", json, callback, userValue);
}

TesselBool __cdecl ATesselIsP7S(const wchar_t* path, TesselCallback callback,
                                TesselUserValue userValue) {
  CallLogRecord("ATesselIsP7S")
      .Text("path", path)
      .Pointer("callback", reinterpret_cast<const void*>(callback))
      .Int("userValue", userValue)
      .Write();
  Call call;
  call.name = "ATesselIsP7S";
  call.callback = callback;
  call.userValue = userValue;
  const Script script = LoadScript(call.name);
  if (script.active) return static_cast<TesselBool>(Perform(call, script));
  // The demonstration judges by the name alone; its callback would show an
  // error box, so it is not used.
  return EndsWithP7s(path) ? 1 : 0;
}

TesselBool __cdecl ATesselP7M2P7S(const wchar_t* sourcePath, const wchar_t* targetPath) {
  CallLogRecord("ATesselP7M2P7S")
      .Text("sourcePath", sourcePath)
      .Text("targetPath", targetPath)
      .Write();
  Call call;
  call.name = "ATesselP7M2P7S";
  const Script script = LoadScript(call.name);
  if (script.active) return static_cast<TesselBool>(Perform(call, script));
  ShowBox(call, (L"Substitute Tessel.dll: P7M2P7S\n\n" + Safe(sourcePath) + L"\n->\n" +
                 Safe(targetPath) + L"\n\nThis is only a demonstration; nothing was written.")
                    .c_str());
  return 1;
}

int __cdecl ATesselSignFileFilter(const wchar_t* path, std::int32_t signMode, wchar_t* output,
                                  std::int32_t reserved) {
  CallLogRecord("ATesselSignFileFilter")
      .Text("path", path)
      .Int("signMode", signMode)
      .Buffer("output", output, kFilterRoom)
      .Int("reserved", reserved)
      .Write();
  Call call;
  call.name = "ATesselSignFileFilter";
  call.buffers[0] = output;
  call.rooms[0] = kFilterRoom;
  call.bufferCount = 1;
  const Script script = LoadScript(call.name);
  if (script.active) return static_cast<int>(Perform(call, script));
  WriteBuffer(call, 0,
              L"Demo: " + Safe(path) + L" would be signed in mode " + std::to_wstring(signMode) +
                  L" (nothing was written).");
  return 1;
}

int __cdecl ATesselDecryptVerifyFile(const wchar_t* path, void* reserved) {
  return FileExport("ATesselDecryptVerifyFile", path, reserved);
}

int __cdecl ATesselEncryptFile(const wchar_t* path, void* reserved) {
  return FileExport("ATesselEncryptFile", path, reserved);
}

int __cdecl ATesselSignAndEncryptFile(const wchar_t* path, void* reserved) {
  return FileExport("ATesselSignAndEncryptFile", path, reserved);
}

std::int32_t __cdecl ATesselExtractFile(const wchar_t* path, wchar_t* directory,
                                        std::int32_t reserved1, std::int32_t reserved2) {
  CallLogRecord("ATesselExtractFile")
      .Text("path", path)
      .Buffer("directory", directory, kExtractRoom)
      .Int("reserved1", reserved1)
      .Int("reserved2", reserved2)
      .Write();
  Call call;
  call.name = "ATesselExtractFile";
  call.buffers[0] = directory;
  call.rooms[0] = kExtractRoom;
  call.bufferCount = 1;
  const Script script = LoadScript(call.name);
  if (script.active) return static_cast<std::int32_t>(Perform(call, script));
  if (directory == nullptr) return 0;
  std::wstring target = directory;
  if (!target.empty() && target.back() != L'\\') target += L'\\';
  WriteBuffer(call, 0, target + L"extracted-demo.txt");
  return 1;
}

int __cdecl ATesselCertStoreInfo(const wchar_t* providerName,
                                 TesselCertificateReportCallback callback,
                                 TesselUserValue userValue) {
  CallLogRecord("ATesselCertStoreInfo")
      .Text("providerName", providerName)
      .Pointer("callback", reinterpret_cast<const void*>(callback))
      .Int("userValue", userValue)
      .Write();
  Call call;
  call.name = "ATesselCertStoreInfo";
  call.reportCallback = callback;
  call.userValue = userValue;
  const Script script = LoadScript(call.name);
  if (script.active) return static_cast<int>(Perform(call, script));
  TesselCertificateReport report = {};
  report.certName = L"Demo Certificate (substitute)";
  report.thumbprint = L"0123456789ABCDEF0123456789ABCDEF01234567";
  SendReport(call, report);
  report.certName = L"Демонстрационен сертификат";
  report.thumbprint = L"89ABCDEF0123456789ABCDEF0123456789ABCDEF";
  SendReport(call, report);
  return 1;
}

int __cdecl ATesselSelectCertificate(wchar_t* commonName, wchar_t* thumbprint, wchar_t* notBefore,
                                     wchar_t* notAfter) {
  CallLogRecord("ATesselSelectCertificate")
      .Buffer("commonName", commonName, kSelectRoom)
      .Buffer("thumbprint", thumbprint, kSelectRoom)
      .Buffer("notBefore", notBefore, kSelectRoom)
      .Buffer("notAfter", notAfter, kSelectRoom)
      .Write();
  Call call;
  call.name = "ATesselSelectCertificate";
  wchar_t* buffers[4] = {commonName, thumbprint, notBefore, notAfter};
  for (int i = 0; i < 4; ++i) {
    call.buffers[i] = buffers[i];
    call.rooms[i] = kSelectRoom;
  }
  call.bufferCount = 4;
  const Script script = LoadScript(call.name);
  if (script.active) return static_cast<int>(Perform(call, script));
  WriteBuffer(call, 0, L"Demo Certificate (substitute)");
  WriteBuffer(call, 1, L"0123456789ABCDEF0123456789ABCDEF01234567");
  WriteBuffer(call, 2, L"01.01.2026");
  WriteBuffer(call, 3, L"31.12.2027");
  return 1;
}

}  // extern "C"

// Every export has exactly the signature of the contract.
static_assert(std::is_same_v<decltype(&ATesselInit), ATesselInitFn>);
static_assert(std::is_same_v<decltype(&ATesselShowSettingsDialog), ATesselShowSettingsDialogFn>);
static_assert(std::is_same_v<decltype(&ATesselShowAboutBox), ATesselShowAboutBoxFn>);
static_assert(std::is_same_v<decltype(&ATesselSignFileJson), ATesselSignFileJsonFn>);
static_assert(std::is_same_v<decltype(&ATesselSignInfoJson), ATesselSignInfoJsonFn>);
static_assert(
    std::is_same_v<decltype(&ATesselSelectCertificateJson), ATesselSelectCertificateJsonFn>);
static_assert(std::is_same_v<decltype(&ATesselCertInfoJson), ATesselCertInfoJsonFn>);
static_assert(std::is_same_v<decltype(&ATesselIsP7S), ATesselIsP7SFn>);
static_assert(std::is_same_v<decltype(&ATesselP7M2P7S), ATesselP7M2P7SFn>);
static_assert(std::is_same_v<decltype(&ATesselSignFileFilter), ATesselSignFileFilterFn>);
static_assert(std::is_same_v<decltype(&ATesselDecryptVerifyFile), ATesselDecryptVerifyFileFn>);
static_assert(std::is_same_v<decltype(&ATesselEncryptFile), ATesselEncryptFileFn>);
static_assert(std::is_same_v<decltype(&ATesselSignAndEncryptFile), ATesselSignAndEncryptFileFn>);
static_assert(std::is_same_v<decltype(&ATesselExtractFile), ATesselExtractFileFn>);
static_assert(std::is_same_v<decltype(&ATesselCertStoreInfo), ATesselCertStoreInfoFn>);
static_assert(std::is_same_v<decltype(&ATesselSelectCertificate), ATesselSelectCertificateFn>);

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) CallLogRecord("load").Write();
  if (reason == DLL_PROCESS_DETACH) CallLogRecord("unload").Write();
  return TRUE;
}
