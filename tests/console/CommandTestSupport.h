#pragma once
// What the command-body tests share: the substitute's record of one export
// call, and the dialog requests of FileDialogDescription.h.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/console/FileDialogDescription.h"
#include "tests/testing/SubstituteSession.h"

// The one call of `exportName` in the session's log; fails the test when
// there is not exactly one.
inline tessel_substitute::CallRecord OnlyCall(const SubstituteSession& session,
                                              const std::string& exportName) {
  const auto calls = tessel_substitute::RecordsNamed(session.Calls(), exportName);
  EXPECT_EQ(calls.size(), 1u) << exportName;
  return calls.empty() ? tessel_substitute::CallRecord() : calls[0];
}

// The library was loaded, initialised and released, and nothing else was
// called: the record names of a command that ended before its export.
inline std::vector<std::string> NothingCalled() { return {"load", "ATesselInit", "unload"}; }

template <typename Function>
std::int64_t AddressValue(Function* function) {
  return static_cast<std::int64_t>(reinterpret_cast<std::uintptr_t>(function));
}
