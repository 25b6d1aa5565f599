#include "addin/platform/html/active_formatting.h"

#include <algorithm>
#include <utility>

namespace tervane::html {
namespace {

// The name and the attributes in a canonical order, each part preceded by
// its length so that no two different elements share a key.
std::string KeyOf(const Node& element) {
  std::vector<std::pair<std::string_view, std::string_view>> attributes;
  attributes.reserve(element.attributeCount);
  for (const ElementAttribute& attribute : element.Attributes()) {
    attributes.emplace_back(attribute.name, attribute.value);
  }
  std::sort(attributes.begin(), attributes.end());
  std::string key;
  const auto append = [&key](std::string_view part) {
    key += std::to_string(part.size());
    key += ':';
    key += part;
  };
  append(element.name);
  for (const auto& [name, value] : attributes) {
    append(name);
    append(value);
  }
  return key;
}

bool SameAttributes(const Node& a, const Node& b) {
  if (a.attributeCount != b.attributeCount) return false;
  for (const ElementAttribute& attribute : a.Attributes()) {
    if (b.FindAttribute(attribute.name) != attribute.value) return false;
  }
  return true;
}

void Adjust(std::unordered_map<std::string, std::size_t>& counts, std::string key, bool add) {
  if (add) {
    ++counts[std::move(key)];
    return;
  }
  const auto found = counts.find(key);
  if (found != counts.end() && --found->second == 0) counts.erase(found);
}

}  // namespace

void ActiveFormatting::Count(Stretch& stretch, const Node& element, bool add) {
  Adjust(stretch.byName, std::string(element.name), add);
  Adjust(stretch.byKey, KeyOf(element), add);
}

std::size_t ActiveFormatting::StretchOf(std::size_t index) const {
  std::size_t markersAfter = 0;
  for (std::size_t i = index + 1; i < entries_.size(); ++i) {
    if (entries_[i] == nullptr) ++markersAfter;
  }
  return stretches_.size() - 1 - markersAfter;
}

void ActiveFormatting::Push(Node* element) {
  Stretch& last = stretches_.back();
  const auto same = last.byKey.find(KeyOf(*element));
  if (same != last.byKey.end() && same->second >= 3) {
    std::size_t earliest = kNone;
    for (std::size_t i = entries_.size(); i-- > 0 && entries_[i] != nullptr;) {
      if (entries_[i]->name == element->name && SameAttributes(*entries_[i], *element)) {
        earliest = i;
      }
    }
    if (earliest != kNone) EraseAt(earliest);
  }
  entries_.push_back(element);
  members_.insert(element);
  Count(stretches_.back(), *element, true);
}

void ActiveFormatting::PushMarker() {
  entries_.push_back(nullptr);
  stretches_.emplace_back();
}

void ActiveFormatting::ClearToLastMarker() {
  while (!entries_.empty()) {
    Node* entry = entries_.back();
    entries_.pop_back();
    if (entry == nullptr) {
      stretches_.pop_back();
      return;
    }
    members_.erase(entry);
  }
  stretches_.assign(1, Stretch{});
}

std::size_t ActiveFormatting::IndexOf(const Node* element) const {
  if (!Contains(element)) return kNone;
  for (std::size_t i = entries_.size(); i-- > 0;) {
    if (entries_[i] == element) return i;
  }
  return kNone;
}

std::size_t ActiveFormatting::LastAfterMarker(std::string_view name) const {
  if (stretches_.back().byName.count(std::string(name)) == 0) return kNone;
  for (std::size_t i = entries_.size(); i-- > 0 && entries_[i] != nullptr;) {
    if (entries_[i]->name == name) return i;
  }
  return kNone;
}

void ActiveFormatting::EraseAt(std::size_t index) {
  Node* entry = entries_[index];
  if (entry == nullptr) return;
  Count(stretches_[StretchOf(index)], *entry, false);
  members_.erase(entry);
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

void ActiveFormatting::Remove(const Node* element) {
  const std::size_t index = IndexOf(element);
  if (index != kNone) EraseAt(index);
}

void ActiveFormatting::InsertAt(std::size_t index, Node* element) {
  index = std::min(index, entries_.size());
  entries_.insert(entries_.begin() + static_cast<std::ptrdiff_t>(index), element);
  members_.insert(element);
  Count(stretches_[StretchOf(index)], *element, true);
}

void ActiveFormatting::ReplaceAt(std::size_t index, Node* element) {
  members_.erase(entries_[index]);
  entries_[index] = element;
  members_.insert(element);
}

}  // namespace tervane::html
