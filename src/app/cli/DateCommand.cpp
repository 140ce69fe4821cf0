// lumatag-cli date PICTURE YYYY-MM-DDTHH:MM:SS [--locale NAME]: the date and time rendered with
// the picture, in the named locale or the user's default one. A failure prints its status and ends
// with exit status 1.
#include <cstdio>

#include "app/cli/ArgumentReader.h"
#include "app/cli/CliCommon.h"
#include "patterns/DatePicture.h"

namespace lumatag::cli {

namespace {

// "YYYY-MM-DDTHH:MM:SS"; the fields are not checked against the calendar here.
bool ParseDateTime(const std::string& text, SystemTime* time) {
  if (text.size() != 19) return false;
  const char* layout = "dddd-dd-ddTdd:dd:dd";
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (layout[i] == 'd' ? !digit : text[i] != layout[i]) return false;
  }
  const auto number = [&](std::size_t at, std::size_t count) {
    int value = 0;
    for (std::size_t i = at; i < at + count; ++i) value = value * 10 + (text[i] - '0');
    return static_cast<std::uint16_t>(value);
  };
  *time = SystemTime{};
  time->year = number(0, 4);
  time->month = number(5, 2);
  time->day = number(8, 2);
  time->hour = number(11, 2);
  time->minute = number(14, 2);
  time->second = number(17, 2);
  time->dayOfWeek = 0;
  return true;
}

int RunDate(CliContext&, const std::vector<std::string>& args) {
  ArgumentReader reader({{"--locale", true}}, true);
  if (!reader.Read(args, 2, 2)) return UsageError("date");
  const std::vector<std::string>& positional = reader.Positional();
  const bool haveLocale = reader.Has("--locale");
  const std::string& localeName = reader.Value("--locale");
  SystemTime time;
  if (!ParseDateTime(positional[1], &time)) return UsageError("date");

  DateLocale named;
  const DateLocale* locale = &DateLocale::UserDefault();
  Status status = S_OK;
  if (haveLocale) {
    status = DateLocale::FromName(localeName, &named);
    locale = &named;
  }
  CountedString output;
  if (Succeeded(status))
    status = FormatDatePicture(Utf8ToUtf16(positional[0]), time, output, *locale);
  if (Failed(status)) {
    std::printf("%s\n", StatusText(status).c_str());
    return 1;
  }
  std::printf("%s\n", EscapedMessage(output.View()).c_str());
  return 0;
}

}  // namespace

LT_CLI_COMMAND(date, "date", "PICTURE YYYY-MM-DDTHH:MM:SS [--locale NAME]", RunDate);

}  // namespace lumatag::cli
