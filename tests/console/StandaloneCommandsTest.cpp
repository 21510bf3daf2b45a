#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "console/StandaloneCommands.h"
#include "tests/console/ScriptedUi.h"

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(SplitParameterString, FieldsBetweenBars) {
  struct Case {
    const wchar_t* text;
    std::vector<std::wstring> fields;
  } cases[] = {
      {L"a|b", {L"a", L"b"}}, {L"a||b", {L"a", L"", L"b"}}, {L"a|", {L"a"}},
      {L"|a", {L"", L"a"}},   {L"a||", {L"a", L""}},        {L"|", {L""}},
      {L"||", {L"", L""}},    {L"текст", {L"текст"}},       {L"", {}},
      {nullptr, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text != nullptr ? c.text : L"(null)");
    EXPECT_EQ(SplitParameterString(c.text), c.fields);
  }
}

TEST(LocalTestCommand, ShowsEachFieldInABoxOfTheConsole) {
  ScriptedUi ui;
  RunTest(ui);
  ASSERT_EQ(ui.messageBoxes.size(), 4u);
  EXPECT_EQ(ui.messageBoxes[0].text, L"C:\\Users\\qelmar\\Desktop\\test\\test.txt");
  EXPECT_EQ(ui.messageBoxes[1].text, L"2");
  EXPECT_EQ(ui.messageBoxes[2].text, L"");
  EXPECT_EQ(ui.messageBoxes[3].text,
            L"[{\"title\" : \"Sectigo\",\"url\" : \"http://timestamp.sectigo.com\"},"
            L"{\"title\" : \"B-Trust\",\"url\" : \"http://tsatest.b-trust.org\", "
            L"\"selected\":\"true\"},]");
  for (const ScriptedUi::MessageBoxShown& box : ui.messageBoxes) {
    EXPECT_EQ(box.owner, ui.window);
    EXPECT_FALSE(box.caption.has_value());
    EXPECT_EQ(box.type, static_cast<UINT>(MB_OK));
  }
  EXPECT_EQ(ui.output, L"");
  EXPECT_THAT(ui.fileRequests, IsEmpty());
}

}  // namespace
