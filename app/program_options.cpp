#include "app/program_options.h"

namespace ledgerix {

ProgramOptions ParseProgramOptions(const std::vector<std::string>& arguments) {
  ProgramOptions options;
  for (size_t i = 0; i < arguments.size(); ++i) {
    const std::string& arg = arguments[i];
    if (arg == "--help" || arg == "-h" || arg == "--version") {
      ProgramOptions answer;
      answer.action = arg == "--version" ? ProgramAction::kVersion : ProgramAction::kHelp;
      return answer;
    }
    if (arg == "-platform") options.platform_given = true;
    const bool toolkit_option = arg.size() > 1 && arg[0] == '-' && arg[1] != '-';
    if (toolkit_option) {
      // Qt's options that take a value ("-platform offscreen", "-style Fusion") keep it.
      if (arg == "-platform" || arg == "-style" || arg == "-stylesheet" ||
          arg == "-qwindowgeometry" || arg == "-qwindowtitle" || arg == "-qwindowicon" ||
          arg == "-display") {
        ++i;
      }
      continue;
    }
    if (options.action == ProgramAction::kRun) {
      options.action = ProgramAction::kUsageError;
      options.argument = arg;
    }
  }
  return options;
}

std::string VersionText() {
  return "ledgerix " LEDGERIX_VERSION
         "\n"
         "Леджерикс: учёт личных финансов\n";
}

std::string HelpText() {
  return "Использование: ledgerix [--help] [--version]\n"
         "\n"
         "Леджерикс: учёт личных финансов. Приход и расход по счетам, виды доходов и расходов\n"
         "по категориям, переводы между счетами, статистика за период, экспорт в текст и\n"
         "архивы всей базы.\n"
         "\n"
         "  -h, --help   показать эту справку и выйти\n"
         "  --version    показать версию и выйти\n"
         "\n"
         "Данные: $XDG_DATA_HOME/ledgerix (обычно ~/.local/share/ledgerix); экспорт: ~/Documents.\n"
         "Без дисплея: QT_QPA_PLATFORM=offscreen ledgerix\n"
         "Отчёты, экспорт и импорт из командной строки: ldxload --help\n";
}

std::string UsageErrorText(const std::string& argument) {
  return "ledgerix: неизвестный параметр «" + argument + "»; см. ledgerix --help\n";
}

std::string NoDisplayText() {
  return "ledgerix: нужен графический дисплей (DISPLAY или WAYLAND_DISPLAY не заданы); "
         "без него: QT_QPA_PLATFORM=offscreen ledgerix\n";
}

}  // namespace ledgerix
