// A POSIX file descriptor owned by an object.
#pragma once

#include <unistd.h>

#include <utility>

namespace tervane {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  ~UniqueFd() { Reset(); }
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;

  int Get() const { return fd_; }
  bool Valid() const { return fd_ >= 0; }
  /// Closes the descriptor now; returns close()'s result, 0 when none was open.
  int Close() { return fd_ < 0 ? 0 : ::close(std::exchange(fd_, -1)); }
  void Reset() { Close(); }

 private:
  int fd_ = -1;
};

}  // namespace tervane
