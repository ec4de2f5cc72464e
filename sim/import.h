// Bulk loading of views from a text file (see README.md for the format).
#pragma once

#include <string>

namespace ccsim {

struct Context;

// Adds every view of `file` to the registry in one write; nothing is added
// when any line is wrong. Returns the number of tags added. Throws CtError.
long import_views(const Context &ctx, const std::string &file);

} // namespace ccsim
