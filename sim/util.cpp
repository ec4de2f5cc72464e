#include "util.h"

#include "sys.h"

#include <cstdio>
#include <ctime>

namespace ccsim {

std::string format_time(std::int64_t t, bool old)
{
    std::time_t tt = static_cast<std::time_t>(t);
    std::tm tm{};
    sys::utc_time(tt, tm);
    char buf[32];
    // The process never calls setlocale, so %b is the English month.
    std::strftime(buf, sizeof buf, old ? "%d-%b-%y.%H:%M:%S" : "%Y-%m-%dT%H:%M:%SZ", &tm);
    return buf;
}

std::int64_t parse_time(std::string_view s)
{
    std::tm tm{};
    std::string str(s);
    int used = -1;
    if (std::sscanf(str.c_str(), "%4d-%2d-%2dT%2d:%2d:%2dZ%n", &tm.tm_year, &tm.tm_mon, &tm.tm_mday, &tm.tm_hour,
                    &tm.tm_min, &tm.tm_sec, &used) != 6 ||
        used != static_cast<int>(str.size()))
        return -1;
    if (tm.tm_mon < 1 || tm.tm_mon > 12 || tm.tm_mday < 1 || tm.tm_mday > 31 || tm.tm_hour > 23 || tm.tm_min > 59 ||
        tm.tm_sec > 61 || tm.tm_hour < 0 || tm.tm_min < 0 || tm.tm_sec < 0)
        return -1;
    tm.tm_year -= 1900;
    tm.tm_mon -= 1;
    return static_cast<std::int64_t>(sys::from_utc_time(tm));
}

std::string_view storage_name(std::string_view path)
{
    while (!path.empty() && (path.back() == '/' || path.back() == '\\'))
        path.remove_suffix(1);
    std::size_t pos = path.find_last_of("/\\");
    return pos == std::string_view::npos ? path : path.substr(pos + 1);
}

std::string vob_of(std::string_view path)
{
    if (path.empty() || (path[0] != '/' && path[0] != '\\'))
        return {};
    std::size_t second = path.find_first_of("/\\", 1);
    if (second == std::string_view::npos || second + 1 >= path.size())
        return {};
    std::size_t end = path.find_first_of("/\\", second + 1);
    return std::string(path.substr(0, end));
}

std::string unc_host(std::string_view path)
{
    if (path.size() < 3 || path[0] != '\\' || path[1] != '\\')
        return {};
    path.remove_prefix(2);
    return std::string(path.substr(0, path.find('\\')));
}

} // namespace ccsim
