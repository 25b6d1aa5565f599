// The list of active formatting elements, with markers and the Noah's Ark
// clause. Counts per stretch between markers, by name and by name with
// attributes, answer "is there an <a> after the last marker?" and "are
// there three such elements already?" without walking a long list.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "addin/platform/html/document.h"

namespace tervane::html {

class ActiveFormatting {
 public:
  static constexpr std::size_t kNone = static_cast<std::size_t>(-1);

  bool empty() const { return entries_.empty(); }
  std::size_t size() const { return entries_.size(); }
  /// The entry at `index`: an element, or nullptr for a marker.
  Node* operator[](std::size_t index) const { return entries_[index]; }

  /// Appends `element`, first dropping the earliest of three elements after
  /// the last marker with its name and attributes.
  void Push(Node* element);
  void PushMarker();
  /// Removes entries up to and including the last marker.
  void ClearToLastMarker();

  bool Contains(const Node* element) const { return members_.count(element) != 0; }
  /// The index of `element`, or kNone.
  std::size_t IndexOf(const Node* element) const;
  /// The index of the last element named `name` after the last marker, or
  /// kNone.
  std::size_t LastAfterMarker(std::string_view name) const;

  void EraseAt(std::size_t index);
  void Remove(const Node* element);
  void InsertAt(std::size_t index, Node* element);
  /// Puts `element`, a copy of the element at `index`, in its place.
  void ReplaceAt(std::size_t index, Node* element);

 private:
  struct Stretch {
    std::unordered_map<std::string, std::size_t> byName;
    std::unordered_map<std::string, std::size_t> byKey;
  };

  std::size_t StretchOf(std::size_t index) const;
  void Count(Stretch& stretch, const Node& element, bool add);

  std::vector<Node*> entries_;
  /// One per marker, plus the one before the first marker.
  std::vector<Stretch> stretches_ = std::vector<Stretch>(1);
  std::unordered_set<const Node*> members_;
};

}  // namespace tervane::html
