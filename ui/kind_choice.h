#pragma once
// KindChoice: a kind handed to the kind editor or the kinds list in choose mode, and whether the
// person confirmed it there.

#include "finance/finance_records.h"

namespace ledgerix {

struct KindChoice {
  KindRecord kind;
  bool accepted = false;
};

}  // namespace ledgerix
