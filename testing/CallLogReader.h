#pragma once
// Reads the substitute library's call log back (for tests): one record per
// line, the export's (or event's) name first, then name=value fields.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tessel_substitute {

struct CallRecord {
  std::string name;
  std::vector<std::pair<std::string, std::string>> fields;

  bool Has(const std::string& key) const;
  // A text field's value, unescaped; empty text for null or a missing field.
  std::wstring Text(const std::string& key) const;
  bool IsNull(const std::string& key) const;
  // An integer or pointer field (decimal or 0x hexadecimal); 0 when missing.
  std::int64_t Int(const std::string& key) const;

 private:
  const std::string* Raw(const std::string& key) const;
};

// All records of the log at `path`, in order; none when the file is missing.
std::vector<CallRecord> ReadCallLog(const std::wstring& path);

// The records whose name is `name`.
std::vector<CallRecord> RecordsNamed(const std::vector<CallRecord>& records,
                                     const std::string& name);

// The names of all records, in order, for comparing call sequences.
std::vector<std::string> RecordNames(const std::vector<CallRecord>& records);

}  // namespace tessel_substitute
