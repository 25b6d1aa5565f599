// The named character references browsers decode ("amp;", "not", ...),
// generated at build time by make_named_references.py.
#pragma once

#include <span>
#include <string_view>

namespace tervane::html {

struct NamedReference {
  /// Without the "&"; with the ";" when the name has one.
  std::string_view name;
  /// The characters it stands for, UTF-8.
  std::string_view value;
};

/// Every reference, sorted by name in byte order.
std::span<const NamedReference> NamedReferences();

}  // namespace tervane::html
