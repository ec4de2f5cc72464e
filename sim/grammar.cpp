#include "grammar.h"

#include "helpers.h"

#include <span>

namespace ccsim {

namespace {

struct OptionDef {
    const char *name; // canonical, with its dash
    std::size_t min;  // shortest accepted abbreviation, dash included
    bool value;       // takes the next word as its value
};

// Where a subcommand names view tags, for the per-tag cost and the counters.
enum class Tags { None, TagOption, Args };

struct SubGrammar {
    const char *name;
    std::span<const OptionDef> opts;
    std::size_t min_args, max_args;
    Tags tags;
    const char *usage;
};

constexpr std::size_t kMany = static_cast<std::size_t>(-1);

// The tables are constants: nothing is built when the process starts.
constexpr OptionDef kLsviewOpts[] = {{"-short", 2, false}, {"-long", 2, false},  {"-properties", 4, false},
                                     {"-full", 3, false},  {"-region", 4, true}, {"-quick", 2, false}};
constexpr OptionDef kLsregionOpts[] = {{"-short", 2, false}};
constexpr OptionDef kMkviewOpts[] = {{"-tag", 4, true},
                                     {"-snapshot", 4, false},
                                     {"-stream", 4, true},
                                     {"-region", 4, true},
                                     {"-host", 3, true},
                                     {"-hpath", 3, true},
                                     {"-gpath", 3, true},
                                     {"-vws", 4, true},
                                     {"-tcomment", 4, true},
                                     {"-tmode", 4, true},
                                     {"-shareable_dos", 4, false},
                                     {"-nshareable_dos", 4, false}};
constexpr OptionDef kMktagOpts[] = {{"-view", 3, false},    {"-tag", 4, true},     {"-region", 4, true},
                                    {"-host", 3, true},     {"-hpath", 3, true},   {"-gpath", 3, true},
                                    {"-tcomment", 4, true}, {"-replace", 4, false}};
constexpr OptionDef kRmviewOpts[] = {
    {"-tag", 4, true}, {"-force", 2, false}, {"-all", 4, false}, {"-uuid", 4, true}};
constexpr OptionDef kRmtagOpts[] = {{"-view", 3, false}, {"-region", 4, true}, {"-all", 4, false}};
constexpr OptionDef kUnregisterOpts[] = {{"-view", 3, false}, {"-uuid", 4, true}};
constexpr OptionDef kCatcsOpts[] = {{"-tag", 4, true}};
constexpr OptionDef kSetcsOpts[] = {{"-tag", 4, true}, {"-force", 2, false}};
constexpr OptionDef kLscoOpts[] = {{"-avobs", 4, false}, {"-all", 4, false}, {"-cview", 4, false},
                                   {"-me", 3, false},    {"-user", 4, true}, {"-short", 2, false},
                                   {"-long", 2, false},  {"-fmt", 4, true}};
constexpr OptionDef kLsprivateOpts[] = {{"-tag", 4, true}, {"-other", 4, false}, {"-co", 3, false},
                                        {"-do", 3, false}, {"-short", 2, false}, {"-long", 2, false}};
constexpr OptionDef kEndviewOpts[] = {{"-server", 4, false}};
constexpr OptionDef kHostinfoOpts[] = {{"-long", 2, false}};

constexpr SubGrammar kGrammars[] = {
    {"lsview", kLsviewOpts, 0, kMany, Tags::Args,
     "Usage: lsview [-short | -long] [-properties [-full]] [-region region-name] [view-tag ...]"},
    {"lsregion", kLsregionOpts, 0, kMany, Tags::None, "Usage: lsregion [-short] [region-name ...]"},
    {"mkview", kMkviewOpts, 1, 1, Tags::TagOption,
     "Usage: mkview -tag view-tag [-snapshot] [-stream stream-selector] [-region region-name] "
     "[-host hostname] [-gpath global-pname] [-tcomment tag-comment] [-vws view-storage-pname] "
     "{view-storage-pname | snapshot-view-pname}"},
    {"mktag", kMktagOpts, 1, 1, Tags::TagOption,
     "Usage: mktag -view -tag view-tag [-tcomment tag-comment] [-replace] [-region region-name] "
     "[-host hostname] [-gpath global-pname] view-storage-pname"},
    {"rmview", kRmviewOpts, 0, 0, Tags::TagOption,
     "Usage: rmview [-force] {-tag view-tag | -all -uuid view-uuid}"},
    {"rmtag", kRmtagOpts, 1, kMany, Tags::Args,
     "Usage: rmtag -view [-all | -region region-name] view-tag ..."},
    {"unregister", kUnregisterOpts, 0, 0, Tags::None, "Usage: unregister -view -uuid view-uuid"},
    {"catcs", kCatcsOpts, 0, 0, Tags::TagOption, "Usage: catcs -tag view-tag"},
    {"setcs", kSetcsOpts, 1, 1, Tags::TagOption, "Usage: setcs [-tag view-tag] [-force] config-spec-pname"},
    {"lsco", kLscoOpts, 0, kMany, Tags::None,
     "Usage: lsco [-avobs | -all] [-cview] [-me | -user login-name] [-short | -long | -fmt format] "
     "[pname ...]"},
    {"lsprivate", kLsprivateOpts, 0, 0, Tags::TagOption,
     "Usage: lsprivate -tag view-tag [-co] [-do] [-other] [-short | -long]"},
    {"startview", {}, 1, kMany, Tags::Args, "Usage: startview view-tag ..."},
    {"endview", kEndviewOpts, 1, kMany, Tags::Args, "Usage: endview [-server] view-tag ..."},
    {"hostinfo", kHostinfoOpts, 0, kMany, Tags::None, "Usage: hostinfo [-long] [hostname ...]"},
};

const SubGrammar *find_grammar(std::string_view sub)
{
    for (const auto &g : kGrammars)
        if (sub == g.name)
            return &g;
    return nullptr;
}

const OptionDef *match_option(const SubGrammar &grammar, std::string_view word)
{
    for (const auto &o : grammar.opts) {
        std::string_view full(o.name);
        if (word.size() >= o.min && word.size() <= full.size() && full.substr(0, word.size()) == word)
            return &o;
    }
    return nullptr;
}

// Takes the options and arguments of words[1...] into `p`; false after a
// usage error.
bool parse_words(const SubGrammar &grammar, const std::vector<std::string> &words, Parsed &p)
{
    for (std::size_t i = 1; i < words.size(); ++i) {
        const std::string &w = words[i];
        if (w.size() <= 1 || w[0] != '-') {
            p.args.push_back(w);
            continue;
        }
        const OptionDef *o = match_option(grammar, w);
        if (!o) {
            p.usage_error = "Unrecognized option " + quoted(w);
            return false;
        }
        if (!o->value) {
            p.opts[o->name] = "";
        } else if (i + 1 < words.size()) {
            p.opts[o->name] = words[++i];
        } else {
            p.usage_error = "Option " + quoted(o->name) + " requires an argument.";
            return false;
        }
    }
    return true;
}

} // namespace

std::vector<std::string> split_words(std::string_view line)
{
    std::vector<std::string> words;
    std::string cur;
    bool in_word = false, in_quotes = false;
    for (char c : line) {
        if (c == '"') {
            in_quotes = !in_quotes;
            in_word = true;
        } else if (!in_quotes && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (in_word)
                words.push_back(std::move(cur));
            cur.clear();
            in_word = false;
        } else {
            cur += c;
            in_word = true;
        }
    }
    if (in_word)
        words.push_back(std::move(cur));
    return words;
}

Parsed parse_command(const std::vector<std::string> &words)
{
    Parsed p;
    if (words.empty()) {
        p.usage_error = "No command given.";
        return p;
    }
    p.sub = words[0];
    const SubGrammar *grammar = find_grammar(p.sub);
    if (!grammar) {
        p.usage_error = "Unrecognized command: " + quoted(p.sub);
        return p;
    }
    p.usage = grammar->usage;
    if (!parse_words(*grammar, words, p))
        return p;
    if (grammar->tags == Tags::TagOption && p.has("-tag"))
        p.tags_named = 1;
    else if (grammar->tags == Tags::Args)
        p.tags_named = static_cast<long>(p.args.size());
    if (p.args.size() < grammar->min_args || p.args.size() > grammar->max_args)
        p.usage_error = p.args.size() < grammar->min_args ? "Too few arguments." : "Too many arguments.";
    return p;
}

} // namespace ccsim
