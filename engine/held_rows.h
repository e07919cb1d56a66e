#pragma once
// HeldRows: the slots of one table held in memory while a bulk load places rows among them,
// each with its decoded first column (the sort key). Rows are kept in chunks so that placing a
// row in the middle moves a few hundred slots, not the whole table: loading rows that arrive in
// any order costs about n log n instead of the n² bytes moved by inserts into one block.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/db_value.h"

namespace ledgerix {

class HeldRows {
 public:
  // Rows of `slot_size` bytes each.
  explicit HeldRows(size_t slot_size) : slot_size_(slot_size) {}

  size_t size() const { return size_; }
  // The key of row `row` (< size()).
  const DbValue& KeyAt(size_t row) const;
  // Places a slot (slot_size bytes) with its key before row `row` (at the end for row >=
  // size()).
  void Insert(size_t row, DbValue key, std::string_view slot);
  // Hands the slots to `sink` (a callable taking std::string_view, answering bool) in row order,
  // a chunk at a time, letting each chunk go once handed over; stops at the first false. The
  // rows are empty afterwards. True when every chunk was taken.
  template <class Sink>
  bool Drain(Sink sink) {
    bool taken = true;
    for (Chunk& chunk : chunks_) {
      if (taken && !chunk.slots.empty()) taken = sink(std::string_view(chunk.slots));
      chunk = Chunk();
    }
    chunks_.clear();
    ends_.clear();
    size_ = 0;
    return taken;
  }

 private:
  struct Chunk {
    std::vector<DbValue> keys;
    std::string slots;  // keys.size() slots
  };
  // Finds the chunk holding row `row`; *index receives the row's index inside it.
  size_t ChunkOf(size_t row, size_t* index) const;

  size_t slot_size_;
  std::vector<Chunk> chunks_;
  // ends_[i]: the rows in chunks 0 to i, so that a row's chunk is found by binary search.
  std::vector<size_t> ends_;
  size_t size_ = 0;
};

}  // namespace ledgerix
