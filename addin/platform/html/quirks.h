// Whether a doctype puts the document in quirks mode, where a table start
// tag leaves an open paragraph open.
#pragma once

#include "addin/platform/html/token.h"

namespace tervane::html {

/// For the doctype token that the "initial" insertion mode reads.
bool DoctypeMeansQuirks(const Token& doctype);

}  // namespace tervane::html
