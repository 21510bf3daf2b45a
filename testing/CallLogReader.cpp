#include "testing/CallLogReader.h"

#include <windows.h>

#include <cstdlib>

#include "testing/SubstituteText.h"

namespace tessel_substitute {

const std::string* CallRecord::Raw(const std::string& key) const {
  for (const auto& field : fields) {
    if (field.first == key) return &field.second;
  }
  return nullptr;
}

bool CallRecord::Has(const std::string& key) const { return Raw(key) != nullptr; }

bool CallRecord::IsNull(const std::string& key) const {
  const std::string* raw = Raw(key);
  return raw != nullptr && *raw == "null";
}

std::wstring CallRecord::Text(const std::string& key) const {
  const std::string* raw = Raw(key);
  if (raw == nullptr || raw->size() < 2 || raw->front() != '"' || raw->back() != '"') {
    return std::wstring();
  }
  return UnescapeText(raw->substr(1, raw->size() - 2));
}

std::int64_t CallRecord::Int(const std::string& key) const {
  const std::string* raw = Raw(key);
  if (raw == nullptr) return 0;
  if (raw->rfind("0x", 0) == 0) {
    return static_cast<std::int64_t>(std::strtoull(raw->c_str(), nullptr, 16));
  }
  return std::strtoll(raw->c_str(), nullptr, 10);
}

std::vector<CallRecord> ReadCallLog(const std::wstring& path) {
  std::vector<CallRecord> records;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return records;
  std::string content;
  char chunk[4096];
  DWORD got = 0;
  while (ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got != 0) content.append(chunk, got);
  CloseHandle(file);

  size_t start = 0;
  while (start < content.size()) {
    size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    const std::string line = content.substr(start, end - start);
    start = end + 1;
    if (line.empty()) continue;
    CallRecord record;
    size_t fieldStart = 0;
    bool first = true;
    while (fieldStart <= line.size()) {
      size_t tab = line.find('\t', fieldStart);
      if (tab == std::string::npos) tab = line.size();
      const std::string field = line.substr(fieldStart, tab - fieldStart);
      if (first) {
        record.name = field;
        first = false;
      } else {
        const size_t equals = field.find('=');
        record.fields.emplace_back(field.substr(0, equals),
                                   equals == std::string::npos ? "" : field.substr(equals + 1));
      }
      fieldStart = tab + 1;
    }
    records.push_back(record);
  }
  return records;
}

std::vector<CallRecord> RecordsNamed(const std::vector<CallRecord>& records,
                                     const std::string& name) {
  std::vector<CallRecord> named;
  for (const CallRecord& record : records) {
    if (record.name == name) named.push_back(record);
  }
  return named;
}

std::vector<std::string> RecordNames(const std::vector<CallRecord>& records) {
  std::vector<std::string> names;
  for (const CallRecord& record : records) names.push_back(record.name);
  return names;
}

}  // namespace tessel_substitute
