// Where quellor-find keeps the journal of its last copy or move, and --undo,
// which takes that batch back and says what it left.
#pragma once

#include <string>

#include "cli/find_options.h"
#include "text/charset.h"

namespace quellor::cli {

// --journal's file, else quellor-find.journal in the program's own folder;
// empty when that folder cannot be told.
std::string JournalPath(const FindOptions& options, const text::Charset& cs);

// --undo: names each item left, with its reason, on standard error and
// closes with a summary. 0 when nothing was left, 1 when something was or
// there was nothing to undo.
int UndoLastTransfer(const FindOptions& options, const text::Charset& cs);

}  // namespace quellor::cli
