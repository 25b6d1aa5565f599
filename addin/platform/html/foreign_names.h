// The case and namespace adjustments of names inside SVG and MathML, which
// the tokenizer lowercases.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "addin/platform/html/token.h"

namespace tervane::html {

/// "foreignobject" becomes "foreignObject", and so on for SVG element names.
void AdjustSvgTagName(std::string& name);

/// "viewbox" becomes "viewBox", and so on for SVG attribute names.
void AdjustSvgAttributes(std::vector<Attribute>& attributes);

/// "definitionurl" becomes "definitionURL".
void AdjustMathMlAttributes(std::vector<Attribute>& attributes);

/// Whether an attribute of an SVG or MathML element is placed in the XLink,
/// XML or XMLNS namespace ("xlink:href", "xml:lang", "xmlns", ...). Its name
/// keeps the prefix.
bool IsAdjustedForeignAttribute(std::string_view name);

}  // namespace tervane::html
