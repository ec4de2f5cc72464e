// The check setcs makes before it stores a config spec.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ccsim {

// The problems of a config spec, in line order, as cleartool error texts
// (without the "cleartool: Error: " prefix); empty when it may be set.
// `vobs` are the VOB tags that exist, such as "/vobs/app".
std::vector<std::string> check_config_spec(std::string_view text, const std::vector<std::string> &vobs);

} // namespace ccsim
