// What the subcommands share: error texts, the view a tag or the working
// directory names, the VOBs that exist, and reading options.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ccsim {

struct Context;
struct Parsed;
struct Registry;
struct Tag;
struct View;

// What every operation that needs the view server says about a view whose
// storage cannot be reached.
inline constexpr char kStorageUnavailable[] =
    "Operation \"view_get_prop(VIEW_PROP_WEBVIEW)\" failed: view storage directory or control files "
    "unavailable -- additional information may be present in the view server host's view log.";

std::int64_t now();
std::string quoted(std::string_view s);
std::string unknown_tag(std::string_view tag);
// A tag whose view is no longer registered.
std::string view_not_found(const Tag &t);

// The view of the tag `name` in the current region, which must be registered
// and, with `reachable`, have its storage available. Throws CtError.
const View &tagged_view(const Registry &reg, const Context &ctx, std::string_view name, bool reachable);
View &tagged_view_for_update(Registry &reg, const Context &ctx, std::string_view name, bool reachable);
// The snapshot view whose root holds the working directory. The simulator
// knows no other view context. Throws CtError.
const View &current_view_or_throw(const Registry &reg);

// The VOB tags that exist: CCSIM_VOBS or /vobs/app and /vobs/tools, and with
// `with_checkouts` those that hold a checkout.
std::vector<std::string> known_vobs(const Registry &reg, const Context &ctx, bool with_checkouts);
// The VOBs a view holds checkouts in, sorted.
std::vector<std::string> checkout_vobs(const Registry &reg, std::string_view uuid);
long count_checkouts(const Registry &reg, std::string_view uuid);

// -region's value, else the current region.
std::string region_of(const Parsed &p, const Context &ctx);
// Throws the unknown-region error unless `region` exists or is the current one.
void require_region(const Registry &reg, const std::string &region, const Context &ctx);
// -tag's value; throws when it is missing.
const std::string &tag_option(const Parsed &p);
std::string opt_or(const Parsed &p, const char *name, const std::string &fallback);

// "DOM\jdoe" and "nis/jdoe" -> "jdoe".
std::string user_part(std::string_view owner);
std::string padded(std::string_view s, std::size_t width);

} // namespace ccsim
