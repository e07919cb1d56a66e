#pragma once
// DbArray: the engine's growable array (value arrays, column lists, settings entries, the table
// catalog). It grows in steps, so its capacity follows the same rule as DbString's.

#include <cstdint>
#include <utility>
#include <vector>

namespace ledgerix {

template <typename T>
class DbArray {
 public:
  static constexpr uint32_t kDefaultGrowthStep = 200;

  // Room for initial_capacity elements, none present; a growth step of 0 means 200.
  DbArray() = default;
  explicit DbArray(uint32_t initial_capacity, uint32_t growth_step = 0)
      : growth_step_(growth_step != 0 ? growth_step : kDefaultGrowthStep) {
    Grow(initial_capacity);
  }
  // Copies copy every element; a moved-from array is empty with capacity 0.
  DbArray(const DbArray&) = default;
  DbArray& operator=(const DbArray&) = default;
  DbArray(DbArray&& other) noexcept
      : items_(std::move(other.items_)),
        capacity_(std::exchange(other.capacity_, 0)),
        growth_step_(other.growth_step_) {
    other.items_.clear();
  }
  DbArray& operator=(DbArray&& other) noexcept {
    if (this == &other) return *this;
    items_ = std::move(other.items_);
    other.items_.clear();
    capacity_ = std::exchange(other.capacity_, 0);
    growth_step_ = other.growth_step_;
    return *this;
  }

  // Copies the element (or moves it) to the end; when full, the capacity becomes
  // step * ((count + 1) / step + 1).
  void Append(const T& element) {
    GrowForOneMore();
    items_.push_back(element);
  }
  void Append(T&& element) {
    GrowForOneMore();
    items_.push_back(std::move(element));
  }

  // The element at index, or null when index >= Count(). Valid until the array changes.
  T* At(uint32_t index) { return index < Count() ? &items_[index] : nullptr; }
  const T* At(uint32_t index) const { return index < Count() ? &items_[index] : nullptr; }

  uint32_t Count() const { return static_cast<uint32_t>(items_.size()); }
  uint32_t Capacity() const { return capacity_; }

  // Removes n elements at index, keeping the order of the rest; nothing unless index < count
  // and index + n <= count.
  void RemoveAt(uint32_t index, uint32_t n) {
    if (index >= Count() || uint64_t{index} + n > Count()) return;
    items_.erase(items_.begin() + index, items_.begin() + index + n);
  }

  // Destroys every element and frees the block: count and capacity 0.
  void Clear() {
    std::vector<T>().swap(items_);
    capacity_ = 0;
  }

  auto begin() { return items_.begin(); }
  auto end() { return items_.end(); }
  auto begin() const { return items_.begin(); }
  auto end() const { return items_.end(); }

 private:
  void GrowForOneMore() {
    const uint64_t needed = uint64_t{Count()} + 1;
    if (needed > capacity_) Grow(static_cast<uint32_t>(growth_step_ * (needed / growth_step_ + 1)));
  }
  void Grow(uint32_t capacity) {
    capacity_ = capacity;
    items_.reserve(capacity);
  }

  std::vector<T> items_;
  uint32_t capacity_ = 0;
  uint32_t growth_step_ = kDefaultGrowthStep;
};

}  // namespace ledgerix
