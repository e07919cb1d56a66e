#pragma once
// UpdatesScreen: the rules of the updates notice that start-up shows once a week and the main
// screen's "Обновления ..." shows on request. It has three pages and shows the next one each
// time (CUR_INFO_PAGE: 0, 1, 2, 0, ...).

#include <string>
#include <string_view>

#include "ui/app_state.h"
#include "ui/controls/screen_services.h"

namespace ledgerix {

inline constexpr int kUpdatesPageCount = 3;

class UpdatesScreen : public ScreenRules {
 public:
  // `state` stays the caller's.
  explicit UpdatesScreen(AppState& state) : state_(state) {}

  std::string_view ScreenName() const override { return "UpdatesDialog"; }

  // Takes the page to show from the state (a stored value outside 0 to 2 counts as 0) and
  // advances the state to the next page.
  void Start();

  int page() const { return page_; }
  // The page's heading and text (UTF-8).
  static std::string PageTitle(int page);
  static std::string PageText(int page);

 private:
  AppState& state_;
  int page_ = 0;
};

}  // namespace ledgerix
