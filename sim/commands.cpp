#include "commands.h"

#include "error.h"
#include "grammar.h"
#include "helpers.h"

namespace ccsim {

namespace {

struct Handler {
    const char *name;
    int (*run)(const Parsed &, const Context &, Output &);
};

constexpr Handler kHandlers[] = {
    {"lsview", lsview},       {"lsregion", lsregion}, {"mkview", mkview},         {"mktag", mktag},
    {"rmview", rmview},       {"rmtag", rmtag},       {"unregister", unregister}, {"lsco", lsco},
    {"lsprivate", lsprivate}, {"catcs", catcs},       {"setcs", setcs},           {"startview", startview},
    {"endview", endview},     {"hostinfo", hostinfo},
};

} // namespace

int execute(const Parsed &p, const Context &ctx, Output &out)
{
    for (const auto &h : kHandlers)
        if (p.sub == h.name)
            return h.run(p, ctx, out);
    throw CtError("Unrecognized command: " + quoted(p.sub));
}

} // namespace ccsim
