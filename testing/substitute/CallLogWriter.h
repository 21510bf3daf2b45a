#pragma once
// Writes one record of the substitute library's call log: the export's name
// and then each argument as a tab-separated name=value field, as one UTF-8
// line appended to the file named by TESSEL_SUBSTITUTE_LOG (nothing is written
// when the variable is not set). The file is opened and closed for every
// record, so a reader sees each record as soon as the call has made it.
//
// Values: texts as "escaped text" (see SubstituteText.h), a null text as
// null, integers in decimal, handles and pointers as 0x and hexadecimal.

#include <windows.h>

#include <cstdint>
#include <string>

namespace tessel_substitute {

class CallLogRecord {
 public:
  explicit CallLogRecord(const char* exportName);

  CallLogRecord& Text(const char* name, const wchar_t* text);
  CallLogRecord& Int(const char* name, std::int64_t value);
  CallLogRecord& Pointer(const char* name, const void* value);
  // A buffer of `room` wide characters: its text up to the first zero within
  // the room (or all of the room when it has none) and how many of its
  // characters are zero.
  CallLogRecord& Buffer(const char* name, const wchar_t* buffer, size_t room);

  void Write();

 private:
  std::string line_;
};

}  // namespace tessel_substitute
