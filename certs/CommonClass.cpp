#include "certs/CommonClass.h"

#include "certs/FormatErrorText.h"

namespace varnok {

CommonClass::~CommonClass() = default;

std::wstring CommonClass::DiagnosticText(const wchar_t* file, std::int32_t line) const {
  std::wstring text = L"File - ";
  if (file != nullptr) text += file;
  text += L"\nLine - ";
  text += std::to_wstring(line);
  text += L"\n";
  text += ErrorText();
  return text;
}

std::wstring CommonClass::ErrorText() const { return FormatErrorText(lastError, nullptr); }

}  // namespace varnok
