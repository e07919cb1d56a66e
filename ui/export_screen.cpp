#include "ui/export_screen.h"

#include "reports/info_caption.h"

namespace ledgerix {

ExportScreen::ExportScreen(const ReportTable& table, platform::Env& env,
                           const platform::Clock& clock, ScreenServices& services)
    : table_(table), env_(env), clock_(clock), services_(services) {}

void ExportScreen::Start() {
  request = ExportRequest();
  request.file_name = DefaultExportFileName(clock_.Local(clock_.Now()));
}

bool ExportScreen::OnAccept() {
  result_ = ExportToFile(env_, table_, request);
  const DbString message = ExportResultMessage(result_);
  if (message.Length() > 0) {
    const MessageIcon icon =
        result_ == ExportResult::kFailed ? MessageIcon::kWarning : MessageIcon::kInformation;
    services_.ShowMessage(message, DbString(kInfoCaption), MessageButtons::kOk, icon);
  }
  return true;
}

}  // namespace ledgerix
