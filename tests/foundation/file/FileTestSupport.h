// A scratch folder per test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace rozazar::testing {

class ScratchFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_folder = std::filesystem::temp_directory_path() /
               (std::string("tessel-") + info->test_suite_name() + "-" + info->name());
    removeFolder();
    std::filesystem::create_directories(m_folder);
  }
  void TearDown() override { removeFolder(); }
  // Read-only files (a test may leave one) cannot be removed on Windows.
  void removeFolder() {
    std::error_code ignored;
    for (auto it = std::filesystem::recursive_directory_iterator(m_folder, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_write,
                                   std::filesystem::perm_options::add, ignored);
    }
    std::filesystem::remove_all(m_folder, ignored);
  }
  // A UTF-8 path inside the folder.
  std::string path(const std::string& name) const {
    return (m_folder / std::filesystem::u8path(name)).u8string();
  }
  bool exists(const std::string& name) const {
    return std::filesystem::exists(m_folder / std::filesystem::u8path(name));
  }
  std::filesystem::path m_folder;
};

}  // namespace rozazar::testing
