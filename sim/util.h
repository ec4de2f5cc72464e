// Small helpers on the registry's values: times and path parts.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ccsim {

// 2018-04-27T07:58:08Z, or with `old` the older 27-Apr-18.07:58:08 (UTC).
std::string format_time(std::int64_t t, bool old = false);
// Parses the first form; -1 when it does not match.
std::int64_t parse_time(std::string_view s);
// Last path component, whatever the separators ("/" or "\").
std::string_view storage_name(std::string_view path);
// The host named by a UNC path such as \\HOST\share, or empty.
std::string unc_host(std::string_view path);
// The VOB tag of an element path: its first two components, "/vobs/app" of
// "/vobs/app/src/x.c" (either separator); empty for a relative path or one
// of fewer than two components.
std::string vob_of(std::string_view path);

} // namespace ccsim
