#include "engine/failure_text.h"

#include <string>

namespace ledgerix {

DbString FailureReason(uint32_t error) {
  namespace winerr = platform::winerr;
  switch (error) {
    case winerr::kDiskFull:
    case winerr::kHandleDiskFull:
      return FromUtf8("нет места на диске");
    case winerr::kAccessDenied:
      return FromUtf8("нет доступа");
    case winerr::kWriteProtect:
      return FromUtf8("диск защищён от записи");
    case winerr::kSharingViolation:
    case winerr::kLockViolation:
      return FromUtf8("файл занят другой программой");
    case winerr::kFileNotFound:
      return FromUtf8("файл не найден");
    case winerr::kPathNotFound:
      return FromUtf8("папка не найдена");
    case winerr::kCrc:
    case winerr::kReadFault:
    case winerr::kWriteFault:
    case winerr::kGenFailure:
    case winerr::kNotReady:
      return FromUtf8("ошибка чтения или записи диска");
    case winerr::kInvalidName:
    case winerr::kFilenameTooLong:
      return FromUtf8("недопустимое имя файла");
    case winerr::kTooManyOpenFiles:
      return FromUtf8("открыто слишком много файлов");
    case winerr::kNotEnoughMemory:
      return FromUtf8("недостаточно памяти");
    case winerr::kInvalidData:
      return FromUtf8("данные повреждены");
    default:
      return FromUtf8("ошибка " + std::to_string(error));
  }
}

DbString DescribeFailure(const platform::FailureDetail& detail) {
  DbString text = FailureReason(detail.error);
  std::string where = detail.call;
  if (!detail.host_path.empty()) where += (where.empty() ? "" : " ") + detail.host_path;
  if (!detail.host_text.empty()) where += (where.empty() ? "" : ": ") + detail.host_text;
  if (!where.empty()) text.AppendString(FromUtf8(" (" + where + ")"));
  return text;
}

}  // namespace ledgerix
