#include "frontend/editor/Editor.h"

#include <ctime>
#include <iomanip>
#include <locale>
#include <sstream>

namespace kirmel::fe {
namespace {

// The user's locale, or the classic one when the environment names none that
// exists.
std::locale UserLocale() {
  try {
    return std::locale("");
  } catch (const std::exception&) {
    return std::locale::classic();
  }
}

char LocaleDecimalSeparator() {
  return std::use_facet<std::numpunct<char>>(UserLocale()).decimal_point();
}

// Today's date in the locale's short date form.
std::string LocaleShortDate() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::ostringstream text;
  text.imbue(UserLocale());
  text << std::put_time(&local, "%x");
  return text.str();
}

// The locale's short date and long time of now.
std::string LocaleDateTime() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  std::ostringstream text;
  text.imbue(UserLocale());
  text << std::put_time(&local, "%x %X");
  return text.str();
}

}  // namespace

TKirmelEditor::TKirmelEditor() : TKirmelEditor(TEnvironment{}) {}

TKirmelEditor::TKirmelEditor(TEnvironment environment)
    : settings_(environment.Root.empty() ? TSettings() : TSettings(environment.Root)),
      decimalSeparator_(environment.DecimalSeparator ? environment.DecimalSeparator
                                                     : LocaleDecimalSeparator()),
      date_(environment.Date ? std::move(environment.Date) : TDateProvider(LocaleShortDate)),
      dateTime_(environment.DateTime ? std::move(environment.DateTime)
                                     : TDateProvider(LocaleDateTime)),
      messages_(std::move(environment.Messages)),
      parser_(messages_, decimalSeparator_),
      saveFault_(std::move(environment.SaveFault)),
      lockWait_(environment.LockWait) {
  MarkScenarioUnchanged();
  MarkPesticideUnchanged();
}

void TKirmelEditor::SetMessageSink(TMessageSink sink) {
  messages_ = std::move(sink);
  parser_.SetMessageSink(messages_);
}

void TKirmelEditor::ShowError(const std::string& message) {
  if (messages_) messages_(message);
}

}  // namespace kirmel::fe
