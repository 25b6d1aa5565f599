#include "bench/bench_names.h"

#include <array>
#include <random>
#include <string_view>

namespace tervane::bench {

std::vector<std::string> MaterialNames(std::size_t count, bool others) {
  static constexpr std::array<std::string_view, 6> kStems = {"IMG_",   "photo-",      "夕焼け",
                                                             "Scan #", "mori & umi ", "DSC"};
  static constexpr std::array<std::string_view, 6> kPictures = {".jpg", ".JPG",  ".png",
                                                                ".gif", ".jpeg", ".PNG"};
  static constexpr std::array<std::string_view, 3> kOthers = {".txt", ".html", ".doc"};
  std::mt19937 engine(20240601);
  std::vector<std::string> names;
  names.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    std::string name(kStems[engine() % kStems.size()]);
    name += std::to_string(i);
    if (others && engine() % 10 == 0) {
      name += kOthers[engine() % kOthers.size()];
    } else {
      name += kPictures[engine() % kPictures.size()];
    }
    names.push_back(std::move(name));
  }
  return names;
}

}  // namespace tervane::bench
