#include "testing/substitute/CallLogWriter.h"

#include <cstdio>

#include "testing/SubstituteText.h"

namespace tessel_substitute {

CallLogRecord::CallLogRecord(const char* exportName) : line_(exportName) {}

CallLogRecord& CallLogRecord::Text(const char* name, const wchar_t* text) {
  line_ += '\t';
  line_ += name;
  line_ += '=';
  if (text == nullptr) {
    line_ += "null";
  } else {
    line_ += '"';
    line_ += EscapeText(text);
    line_ += '"';
  }
  return *this;
}

CallLogRecord& CallLogRecord::Int(const char* name, std::int64_t value) {
  char digits[32];
  snprintf(digits, sizeof digits, "%lld", static_cast<long long>(value));
  line_ += '\t';
  line_ += name;
  line_ += '=';
  line_ += digits;
  return *this;
}

CallLogRecord& CallLogRecord::Pointer(const char* name, const void* value) {
  char digits[32];
  snprintf(digits, sizeof digits, "0x%llx",
           static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(value)));
  line_ += '\t';
  line_ += name;
  line_ += '=';
  line_ += digits;
  return *this;
}

CallLogRecord& CallLogRecord::Buffer(const char* name, const wchar_t* buffer, size_t room) {
  if (buffer == nullptr) return Text(name, nullptr);
  size_t length = 0;
  while (length < room && buffer[length] != L'\0') ++length;
  size_t zeros = 0;
  for (size_t i = 0; i < room; ++i) zeros += buffer[i] == L'\0' ? 1 : 0;
  Text(name, std::wstring(buffer, length).c_str());
  Int((std::string(name) + ".room").c_str(), static_cast<std::int64_t>(room));
  Int((std::string(name) + ".zeros").c_str(), static_cast<std::int64_t>(zeros));
  return *this;
}

void CallLogRecord::Write() {
  wchar_t path[MAX_PATH * 2];
  const DWORD length = GetEnvironmentVariableW(L"TESSEL_SUBSTITUTE_LOG", path, MAX_PATH * 2);
  if (length == 0 || length >= MAX_PATH * 2) return;
  HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  const std::string record = line_ + "\n";
  DWORD written = 0;
  WriteFile(file, record.data(), static_cast<DWORD>(record.size()), &written, nullptr);
  CloseHandle(file);
}

}  // namespace tessel_substitute
