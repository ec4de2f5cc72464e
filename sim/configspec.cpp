#include "configspec.h"

namespace ccsim {

namespace {

std::vector<std::string_view> words_of(std::string_view line)
{
    std::vector<std::string_view> words;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
            ++i;
        std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t')
            ++i;
        if (i > start)
            words.push_back(line.substr(start, i - start));
    }
    return words;
}

bool same_word(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        if (x != b[i])
            return false;
    }
    return true;
}

// Whether `pattern` (an absolute path, either separator) lies in one of `vobs`.
bool in_known_vob(std::string_view pattern, const std::vector<std::string> &vobs)
{
    std::string path(pattern);
    for (char &c : path)
        if (c == '\\')
            c = '/';
    for (const auto &vob : vobs)
        if (path.starts_with(vob) && (path.size() == vob.size() || path[vob.size()] == '/'))
            return true;
    return false;
}

} // namespace

std::vector<std::string> check_config_spec(std::string_view text, const std::vector<std::string> &vobs)
{
    std::vector<std::string> problems;
    long lineno = 0;
    while (!text.empty()) {
        std::size_t nl = text.find_first_of("\r\n");
        std::string_view line = text.substr(0, nl);
        if (nl == std::string_view::npos)
            text = {};
        else
            text.remove_prefix(nl + (text.substr(nl, 2) == "\r\n" ? 2 : 1));
        ++lineno;
        auto syntax = [&](const std::string &why) {
            problems.push_back("Syntax error in config spec, line " + std::to_string(lineno) + ": " + why +
                               ".");
        };
        auto w = words_of(line.substr(0, line.find('#')));
        if (w.empty())
            continue;
        std::string_view kind = w[0];
        if (same_word(kind, "element")) {
            std::size_t i = 1; // -file, -directory, -eltype NAME come before the pattern
            while (i < w.size() && w[i].starts_with("-"))
                i += same_word(w[i], "-eltype") ? 2 : 1;
            if (i + 1 >= w.size()) {
                syntax("an element rule needs a pattern and a version selector");
                continue;
            }
            std::string_view pattern = w[i];
            if ((pattern[0] == '/' || pattern[0] == '\\') && !in_known_vob(pattern, vobs))
                problems.push_back("No registered VOB tag in path: \"" + std::string(pattern) + "\".");
        } else if (same_word(kind, "end")) {
            if (w.size() < 2 || !(same_word(w[1], "time") || same_word(w[1], "mkbranch")))
                syntax("\"end\" must be followed by \"time\" or \"mkbranch\"");
        } else if (same_word(kind, "include") || same_word(kind, "load") || same_word(kind, "time") ||
                   same_word(kind, "mkbranch") || same_word(kind, "identity")) {
            if (w.size() < 2)
                syntax("a " + std::string(kind) + " rule needs an argument");
        } else if (!same_word(kind, "ucm")) {
            syntax("unknown rule \"" + std::string(kind) + "\"");
        }
    }
    if (!problems.empty())
        problems.push_back("Config spec semantic processing failed.");
    return problems;
}

} // namespace ccsim
