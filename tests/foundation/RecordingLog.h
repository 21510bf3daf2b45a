// A log that records, one line each, what reaches it: errors as "error:text",
// contexts as "enter:name" and "leave", values as "name=value".
#pragma once

#include <string>
#include <vector>

#include "foundation/object/LogBase.h"

namespace rozazar::testing {

class RecordingLog : public LogBase {
 public:
  bool logError(const char* text) override {
    lines.push_back(std::string("error:") + text);
    return true;
  }
  bool enterContext(const char* name, bool) override {
    lines.push_back(std::string("enter:") + name);
    return true;
  }
  bool leaveContext() override {
    lines.push_back("leave");
    return true;
  }
  bool logData(const char* name, const char* value) override {
    lines.push_back(std::string(name) + "=" + (value != nullptr ? value : "(NULL)"));
    return true;
  }
  bool has(const std::string& line) const {
    for (const std::string& l : lines) {
      if (l == line) return true;
    }
    return false;
  }
  std::string valueOf(const std::string& name) const {
    for (const std::string& l : lines) {
      if (l.rfind(name + "=", 0) == 0) return l.substr(name.size() + 1);
    }
    return std::string();
  }
  std::vector<std::string> lines;
};

}  // namespace rozazar::testing
