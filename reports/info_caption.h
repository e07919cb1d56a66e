#pragma once
// The caption of the program's information and question boxes: the export's completion notice,
// the archive questions and notices.

namespace ledgerix {

inline constexpr char kInfoCaption[] = "TOLVENA Info";

}  // namespace ledgerix
