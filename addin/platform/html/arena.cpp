#include "addin/platform/html/arena.h"

#include <cstdint>
#include <cstring>
#include <utility>

namespace tervane::html {
namespace {

constexpr std::size_t kBlockSize = 256 * 1024;
// Larger allocations get a block of their own, so that the block being
// filled is never abandoned with much room left.
constexpr std::size_t kOwnBlockSize = kBlockSize / 8;

}  // namespace

Arena::Arena(Arena&& other) noexcept
    : blocks_(std::move(other.blocks_)),
      next_(std::exchange(other.next_, nullptr)),
      end_(std::exchange(other.end_, nullptr)) {
  other.blocks_.clear();
}

Arena& Arena::operator=(Arena&& other) noexcept {
  if (this != &other) {
    blocks_ = std::move(other.blocks_);
    other.blocks_.clear();
    next_ = std::exchange(other.next_, nullptr);
    end_ = std::exchange(other.end_, nullptr);
  }
  return *this;
}

void* Arena::Allocate(std::size_t size, std::size_t alignment) {
  const auto address = reinterpret_cast<std::uintptr_t>(next_);
  const std::size_t padding = (alignment - address % alignment) % alignment;
  if (next_ != nullptr && padding <= static_cast<std::size_t>(end_ - next_) &&
      size <= static_cast<std::size_t>(end_ - next_) - padding) {
    std::byte* start = next_ + padding;
    next_ = start + size;
    return start;
  }
  return AllocateInNewBlock(size);
}

void* Arena::AllocateInNewBlock(std::size_t size) {
  if (size > kOwnBlockSize) {
    // The block being filled stays the one to fill.
    blocks_.push_back(std::unique_ptr<std::byte[]>(new std::byte[size]));
    return blocks_.back().get();
  }
  blocks_.push_back(std::unique_ptr<std::byte[]>(new std::byte[kBlockSize]));
  std::byte* start = blocks_.back().get();
  next_ = start + size;
  end_ = start + kBlockSize;
  return start;
}

std::string_view Arena::Copy(std::string_view text) {
  if (text.empty()) return {};
  char* copy = static_cast<char*>(Allocate(text.size(), 1));
  std::memcpy(copy, text.data(), text.size());
  return {copy, text.size()};
}

bool Arena::Extend(const char* end, std::size_t extra) {
  if (reinterpret_cast<const std::byte*>(end) != next_ || next_ == nullptr ||
      extra > static_cast<std::size_t>(end_ - next_)) {
    return false;
  }
  next_ += extra;
  return true;
}

}  // namespace tervane::html
