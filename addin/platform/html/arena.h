// Memory that a document's nodes, names, text and attributes share: handed
// out in order from large blocks and released all at once with the arena,
// so that a page of a million nodes is freed in a few calls.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tervane::html {

class Arena {
 public:
  Arena() = default;
  Arena(const Arena&) = delete;
  Arena& operator=(const Arena&) = delete;
  Arena(Arena&& other) noexcept;
  Arena& operator=(Arena&& other) noexcept;
  ~Arena() = default;

  /// `size` bytes aligned to `alignment` (a power of two, at most that of
  /// max_align_t), valid until the arena goes.
  void* Allocate(std::size_t size, std::size_t alignment);

  /// A value-initialised T; its destructor never runs.
  template <typename T>
  T* New() {
    static_assert(std::is_trivially_destructible_v<T>);
    return ::new (Allocate(sizeof(T), alignof(T))) T();
  }

  /// A copy of `text` in the arena.
  std::string_view Copy(std::string_view text);

  /// Makes room for `extra` more bytes right after the last allocation,
  /// which ends at `end`, without moving it; false when `end` is not the end
  /// of the last allocation or the block is too full.
  bool Extend(const char* end, std::size_t extra);

 private:
  /// Starts a block big enough for `size` bytes.
  void* AllocateInNewBlock(std::size_t size);

  std::vector<std::unique_ptr<std::byte[]>> blocks_;
  std::byte* next_ = nullptr;
  std::byte* end_ = nullptr;
};

}  // namespace tervane::html
