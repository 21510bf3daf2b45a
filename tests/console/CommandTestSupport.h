#pragma once
// What the command-body tests share: the file dialog a command asked for,
// compared field by field, and the substitute's record of one export call.

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ConsoleUi.h"
#include "SubstituteSession.h"

// Compares every field of two dialog requests.
inline ::testing::AssertionResult SameRequest(const FileDialogRequest& actual,
                                              const FileDialogRequest& expected) {
  std::vector<std::string> differences;
  if (actual.kind != expected.kind) differences.push_back("kind");
  if (actual.filter != expected.filter) differences.push_back("filter");
  if (actual.filterIndex != expected.filterIndex) differences.push_back("filterIndex");
  if (actual.defaultExtension != expected.defaultExtension)
    differences.push_back("defaultExtension");
  if (actual.initialName != expected.initialName) differences.push_back("initialName");
  if (actual.initialDirectory != expected.initialDirectory)
    differences.push_back("initialDirectory");
  if (actual.title != expected.title) differences.push_back("title");
  if (actual.flags != expected.flags) differences.push_back("flags");
  if (actual.owner != expected.owner) differences.push_back("owner");
  if (actual.pathRoom != expected.pathRoom) differences.push_back("pathRoom");
  if (actual.maxFile != expected.maxFile) differences.push_back("maxFile");
  if (differences.empty()) return ::testing::AssertionSuccess();
  ::testing::AssertionResult failure = ::testing::AssertionFailure() << "requests differ in";
  for (const auto& field : differences) failure << " " << field;
  return failure;
}

// An open dialog with one filter pair, filter index 1 and a default
// extension (nullopt: none).
inline FileDialogRequest FilteredOpenRequest(const wchar_t* description, const wchar_t* pattern,
                                             std::optional<std::wstring> defaultExtension) {
  FileDialogRequest request;
  request.filter = {{description, pattern}};
  request.filterIndex = 1;
  request.defaultExtension = std::move(defaultExtension);
  return request;
}

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
