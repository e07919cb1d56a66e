#include "killtrial/trial_work.h"

#include <unistd.h>

#include "killtrial/convert_work.h"
#include "killtrial/insert_work.h"
#include "killtrial/restore_work.h"

namespace ledgerix::killtrial {

void TrialReporter::Send(const TrialEvent& event) {
  // Smaller than PIPE_BUF: one write puts the whole event or nothing.
  if (write(fd_, &event, sizeof event) != static_cast<ssize_t>(sizeof event)) _exit(4);
}

namespace {

struct Entry {
  const char* name;
  std::unique_ptr<TrialWork> (*make)();
};

// A new kind of work is one more line here.
constexpr Entry kWorks[] = {
    {"insert", [] { return std::unique_ptr<TrialWork>(std::make_unique<InsertWork>()); }},
    {"restore", [] { return std::unique_ptr<TrialWork>(std::make_unique<RestoreWork>()); }},
    {"convert", [] { return std::unique_ptr<TrialWork>(std::make_unique<ConvertWork>()); }},
};

}  // namespace

std::unique_ptr<TrialWork> MakeTrialWork(std::string_view name) {
  for (const Entry& work : kWorks) {
    if (name == work.name) return work.make();
  }
  return nullptr;
}

std::vector<std::string> TrialWorkNames() {
  std::vector<std::string> names;
  for (const Entry& work : kWorks) names.emplace_back(work.name);
  return names;
}

}  // namespace ledgerix::killtrial
