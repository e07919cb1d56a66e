#include "engine/held_rows.h"

#include <algorithm>
#include <utility>

namespace ledgerix {
namespace {

// A chunk splits in two when it grows past this many rows.
constexpr size_t kMaxChunkRows = 128;

}  // namespace

size_t HeldRows::ChunkOf(size_t row, size_t* index) const {
  // The first chunk that ends after the row; a row past the end goes to the last chunk.
  auto found = std::upper_bound(ends_.begin(), ends_.end(), row);
  if (found == ends_.end()) found = ends_.end() - 1;
  const auto chunk = static_cast<size_t>(found - ends_.begin());
  *index = row - (chunk > 0 ? ends_[chunk - 1] : 0);
  return chunk;
}

const DbValue& HeldRows::KeyAt(size_t row) const {
  size_t index = 0;
  const size_t chunk = ChunkOf(row, &index);
  return chunks_[chunk].keys[index];
}

void HeldRows::Insert(size_t row, DbValue key, std::string_view slot) {
  if (chunks_.empty()) {
    chunks_.emplace_back();
    ends_.push_back(0);
  }
  size_t index = 0;
  const size_t at = ChunkOf(row < size_ ? row : size_, &index);
  Chunk& chunk = chunks_[at];
  if (index > chunk.keys.size()) index = chunk.keys.size();
  chunk.keys.insert(chunk.keys.begin() + static_cast<std::ptrdiff_t>(index), std::move(key));
  chunk.slots.insert(index * slot_size_, slot.substr(0, slot_size_));
  chunk.slots.insert(index * slot_size_ + std::min(slot.size(), slot_size_),
                     slot_size_ - std::min(slot.size(), slot_size_), '\0');
  ++size_;
  for (size_t i = at; i < ends_.size(); ++i) ++ends_[i];
  if (chunk.keys.size() > kMaxChunkRows) {
    const size_t half = kMaxChunkRows / 2;
    const size_t upper_rows = chunk.keys.size() - half;
    Chunk upper;
    upper.keys.assign(std::make_move_iterator(chunk.keys.begin() + half),
                      std::make_move_iterator(chunk.keys.end()));
    upper.slots = chunk.slots.substr(half * slot_size_);
    chunk.keys.resize(half);
    chunk.slots.resize(half * slot_size_);
    chunks_.insert(chunks_.begin() + static_cast<std::ptrdiff_t>(at) + 1, std::move(upper));
    ends_.insert(ends_.begin() + static_cast<std::ptrdiff_t>(at), ends_[at] - upper_rows);
  }
}

}  // namespace ledgerix
