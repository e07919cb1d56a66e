#include "ui/updates_screen.h"

namespace ledgerix {
namespace {

struct Page {
  const char* title;
  const char* text;
};

constexpr Page kPages[kUpdatesPageCount] = {
    {"Обновления программы",
     "Новая версия Леджерикс выходит пакетом Debian. Установите его поверх прежней:\n\n"
     "sudo apt install ./ledgerix_*.deb\n\n"
     "Данные и настройки остаются на месте: программа хранит их в папке "
     "~/.local/share/ledgerix."},
    {"Перед обновлением",
     "Сохраните архив данных: «Управление» > «Данные» > «Обмен данными» > «Сохранить данные в "
     "архив».\n\n"
     "Архив можно восстановить в любой версии программы, а выгрузка «Передать данные на ПК» "
     "открывает данные в таблицах и бухгалтерских программах."},
    {"Какая версия установлена",
     "Версию показывает «Помощь» > «О программе ...», а в терминале команда\n\n"
     "ledgerix --version\n\n"
     "Это окно напоминает об обновлениях раз в неделю; его можно открыть и сами: "
     "«Помощь» > «Обновления ...»."},
};

}  // namespace

void UpdatesScreen::Start() {
  const int32_t stored = state_.current_info_page;
  page_ = stored >= 0 && stored < kUpdatesPageCount ? stored : 0;
  state_.current_info_page = (page_ + 1) % kUpdatesPageCount;
}

std::string UpdatesScreen::PageTitle(int page) {
  return page >= 0 && page < kUpdatesPageCount ? kPages[page].title : "";
}

std::string UpdatesScreen::PageText(int page) {
  return page >= 0 && page < kUpdatesPageCount ? kPages[page].text : "";
}

}  // namespace ledgerix
