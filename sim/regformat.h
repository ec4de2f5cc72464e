// The registry file's text form, shared by the in-memory registry and the
// store: escaped fields separated by tabs, one record a line.
#pragma once

#include "registry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ccsim {

// The first line is "ccsim-registry<TAB><version>". Version 1 files (no
// checkouts, private files or unregistered views, and ten view fields) are
// still read; a save writes version 2.
inline constexpr std::string_view kHeaderPrefix = "ccsim-registry\t";
inline constexpr int kVersion = 2;

// A field escapes '%', tab, CR and LF as %25, %09, %0D, %0A. Backslashes stay
// as they are.
void append_escaped(std::string &out, std::string_view s);
std::string unescape(std::string_view s);
// The leading digits of `s` as a number.
std::int64_t to_int(std::string_view s);
// Splits one record into at most `n` fields; returns how many were found.
std::size_t split_fields(std::string_view line, std::string_view *f, std::size_t n);

// A view record's fields (after "V\t" or "U\t") and back.
View parse_view(std::string_view line, int version);
void append_view(std::string &out, const View &v);
// Appends the records of `lines` ("uuid<TAB>...", one a line) to `to`.
void split_records(std::string_view lines, std::vector<Record> &to);

} // namespace ccsim
