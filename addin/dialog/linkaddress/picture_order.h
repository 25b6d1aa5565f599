// The orders `tervane` can give a folder's items (--sort): the list's own,
// natural (numbers by value), by the time a picture was taken, or by the
// time its file was modified. Ties go by the list's order.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervane {

enum class PictureOrder { kName, kNatural, kTaken, kModified };

/// "name", "natural", "taken", "modified".
std::string_view PictureOrderName(PictureOrder order);
std::optional<PictureOrder> PictureOrderFromName(std::string_view name);

/// The list's order, except that runs of ASCII digits compare by their value
/// (IMG_2 before IMG_10, 007 with 7); names equal that way go by the list's
/// order.
bool NaturalOrderLess(std::string_view a, std::string_view b);

/// A time as a key that sorts as text: "YYYY:MM:DD HH:MM:SS" as EXIF writes
/// the date taken (local time), with an optional fraction of a second.
/// nullopt for a text of another form or EXIF's empty date (zeros, blanks).
std::optional<std::string> TimeKey(std::string_view exifDate);

/// The indexes of `names` (given in list order) in `order`: `times[i]` is
/// the time key of names[i] for kTaken and kModified (else unused). Ties keep
/// the list's order; `reverse` turns the whole order round.
std::vector<std::size_t> ArrangedOrder(const std::vector<std::string>& names, PictureOrder order,
                                       bool reverse, const std::vector<std::string>& times);

}  // namespace tervane
