// The tree in the text form of the html5lib tree-construction tests.
#pragma once

#include <string>

#include "addin/platform/html/document.h"

namespace tervane::html {

/// One line per node, each "| " and two spaces per level of depth:
/// <!DOCTYPE name "public" "system">, <tag>, <svg tag>, "text",
/// <!-- comment -->, attributes sorted by name under their element, and
/// "content" above a template's contents. Lines end with "\n".
std::string DumpTree(const Document& document);

}  // namespace tervane::html
