#pragma once
// ReportCells: the cell texts of one report row, kept together in one block. A ten-year report
// by days has hundreds of thousands of cells; one allocation per row instead of one per cell
// keeps building and freeing it cheap.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/db_string.h"

namespace ledgerix {

class ReportCells {
 public:
  // The most cells a row holds: the widest report has seven columns.
  static constexpr size_t kMaxCells = 8;

  class Iterator {
   public:
    Iterator(const ReportCells* cells, size_t index) : cells_(cells), index_(index) {}
    std::string_view operator*() const { return (*cells_)[index_]; }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator==(const Iterator& other) const = default;

   private:
    const ReportCells* cells_;
    size_t index_;
  };

  ReportCells() = default;
  ReportCells(std::initializer_list<std::string_view> texts);

  // Appends a cell. False (and nothing appended) when the row already holds kMaxCells.
  bool push_back(std::string_view text);
  bool push_back(const DbString& text) { return push_back(text.View()); }
  bool push_back(const char* text) { return push_back(std::string_view(text)); }
  // Room for `bytes` bytes of cell text, so that the appends of a row allocate once.
  void reserve(size_t bytes) { text_.reserve(bytes); }

  size_t size() const { return count_; }
  bool empty() const { return count_ == 0; }
  // The text of cell i; empty for an index not below size().
  std::string_view operator[](size_t i) const;
  // The text of cell i, NUL-terminated; "" for an index not below size().
  const char* CStr(size_t i) const;
  Iterator begin() const { return Iterator(this, 0); }
  Iterator end() const { return Iterator(this, count_); }

  bool operator==(const ReportCells& other) const;

 private:
  size_t Start(size_t i) const { return i == 0 ? 0 : ends_[i - 1] + 1; }

  std::string text_;  // every cell followed by a 0 byte
  std::array<uint32_t, kMaxCells> ends_{};
  uint8_t count_ = 0;
};

}  // namespace ledgerix
