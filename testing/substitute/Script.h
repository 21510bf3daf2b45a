#pragma once
// The substitute library's script: what each export does when called. The
// script is the UTF-8 file named by TESSEL_SUBSTITUTE_SCRIPT, read afresh at
// every call, so a test may rewrite it between calls. Its format is described
// in testing/README.md.

#include <cstdint>
#include <string>
#include <vector>

namespace tessel_substitute {

struct Directive {
  enum class Kind {
    Callback,  // send `text` (or null when `isNull`) through the callback
    Report,    // send a certificate report: `flag`, `fields` (null when absent)
    Buffer,    // write `text` into output buffer `index`, cut to its room
    Fill,      // fill output buffer `index` completely with `text[0]`, unterminated
    Return,    // the export's result
    Box,       // show a message box with `text`, owned by the init window
    Fault,     // fail in the way named by `fault` (see Faults.h)
  };
  Kind kind = Kind::Callback;
  std::wstring text;
  std::string fault;
  bool isNull = false;
  int index = 0;
  std::int64_t value = 0;
  // Report fields: error text, certificate name, thumbprint; `present` false
  // gives a null pointer.
  struct Field {
    bool present = true;
    std::wstring text;
  };
  Field fields[3];
};

struct Script {
  // False when TESSEL_SUBSTITUTE_SCRIPT is not set: the library then runs its
  // friendly demonstration.
  bool active = false;
  // The script's directives for the export asked for, in file order.
  std::vector<Directive> directives;
  // Problems met while reading (unreadable file, unknown directive), for the
  // call log.
  std::vector<std::wstring> problems;
};

Script LoadScript(const char* exportName);

}  // namespace tessel_substitute
