#include "regformat.h"

namespace ccsim {

namespace {

int hex_value(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string flags_of(const View &v)
{
    std::string s;
    if (v.snapshot)
        s += 's';
    if (v.ucm)
        s += 'u';
    if (v.active)
        s += 'a';
    if (v.unreachable)
        s += 'x';
    return s.empty() ? std::string("-") : s;
}

std::string derived_root(std::string_view storage)
{
    if (storage.size() > 4 && storage.ends_with(".vws"))
        storage.remove_suffix(4);
    return std::string(storage);
}

} // namespace

void append_escaped(std::string &out, std::string_view s)
{
    for (char c : s) {
        switch (c) {
        case '%': out += "%25"; break;
        case '\t': out += "%09"; break;
        case '\r': out += "%0D"; break;
        case '\n': out += "%0A"; break;
        default: out += c;
        }
    }
}

std::string unescape(std::string_view s)
{
    if (s.find('%') == std::string_view::npos)
        return std::string(s);
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            int hi = hex_value(s[i + 1]), lo = hex_value(s[i + 2]);
            if (hi >= 0 && lo >= 0) {
                out += static_cast<char>(hi * 16 + lo);
                i += 2;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

std::int64_t to_int(std::string_view s)
{
    std::int64_t v = 0;
    for (char c : s) {
        if (c < '0' || c > '9')
            break;
        v = v * 10 + (c - '0');
    }
    return v;
}

std::size_t split_fields(std::string_view line, std::string_view *f, std::size_t n)
{
    std::size_t count = 0;
    while (count < n) {
        std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos || count == n - 1) {
            f[count++] = line;
            break;
        }
        f[count++] = line.substr(0, tab);
        line.remove_prefix(tab + 1);
    }
    return count;
}

// Version 1: uuid host storage flags owner created modified cs-updated stream
// config-spec. Version 2 adds accessed after cs-updated and the snapshot root
// after the stream.
View parse_view(std::string_view line, int version)
{
    constexpr std::size_t kMax = 12;
    std::string_view f[kMax];
    std::size_t want = version == 1 ? 10 : 12;
    View v;
    if (split_fields(line, f, want) != want)
        return v;
    v.uuid = std::string(f[0]);
    v.host = unescape(f[1]);
    v.storage = unescape(f[2]);
    for (char c : f[3]) {
        v.snapshot |= c == 's';
        v.ucm |= c == 'u';
        v.active |= c == 'a';
        v.unreachable |= c == 'x';
    }
    v.owner = unescape(f[4]);
    v.created = to_int(f[5]);
    v.modified = to_int(f[6]);
    v.cs_updated = to_int(f[7]);
    if (version == 1) {
        v.accessed = v.modified;
        v.stream = unescape(f[8]);
        v.config_spec = unescape(f[9]);
    } else {
        v.accessed = to_int(f[8]);
        v.stream = unescape(f[9]);
        v.root = unescape(f[10]);
        v.config_spec = unescape(f[11]);
    }
    if (v.snapshot && v.root.empty())
        v.root = derived_root(v.storage);
    return v;
}

void append_view(std::string &out, const View &v)
{
    out += v.uuid;
    out += '\t';
    append_escaped(out, v.host);
    out += '\t';
    append_escaped(out, v.storage);
    out += '\t';
    out += flags_of(v);
    out += '\t';
    append_escaped(out, v.owner);
    for (std::int64_t t : {v.created, v.modified, v.cs_updated, v.accessed}) {
        out += '\t';
        out += std::to_string(t);
    }
    out += '\t';
    append_escaped(out, v.stream);
    out += '\t';
    append_escaped(out, v.root);
    out += '\t';
    append_escaped(out, v.config_spec);
}

void split_records(std::string_view lines, std::vector<Record> &to)
{
    while (!lines.empty()) {
        std::size_t nl = lines.find('\n');
        std::string_view line = lines.substr(0, nl);
        lines.remove_prefix(nl == std::string_view::npos ? lines.size() : nl + 1);
        std::size_t tab = line.find('\t');
        if (tab != std::string_view::npos)
            to.push_back(Record{line.substr(0, tab), line});
    }
}

} // namespace ccsim
