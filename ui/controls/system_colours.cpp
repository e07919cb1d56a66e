#include "ui/controls/system_colours.h"

#include <QGuiApplication>

#include "ui/controls/colour_ref.h"

namespace ledgerix {

SystemColours::SystemColours() : palette_(QGuiApplication::palette()) {}

SystemColours::SystemColours(const QPalette& palette) : palette_(palette) {}

uint32_t SystemColours::Colour(int index) const {
  if (const auto found = set_.find(index); found != set_.end()) return found->second;
  switch (index) {
    case kActiveCaption:
      return ToColourRef(palette_.color(QPalette::Active, QPalette::Highlight));
    case kHighlightedText:
      return ToColourRef(palette_.color(QPalette::Active, QPalette::HighlightedText));
    case kButtonFace:
      return ToColourRef(palette_.color(QPalette::Active, QPalette::Button));
    case kButtonShadow:
      return ToColourRef(palette_.color(QPalette::Active, QPalette::Dark));
    case kGreyText:
      return ToColourRef(palette_.color(QPalette::Disabled, QPalette::Text));
    case kButtonHighlight:
      return ToColourRef(palette_.color(QPalette::Active, QPalette::Light));
    default:
      return 0;
  }
}

void SystemColours::Set(int index, uint32_t colour) { set_[index] = colour & 0x00FFFFFF; }

}  // namespace ledgerix
