// A view's config spec: catcs and setcs.

#include "commands.h"

#include "configspec.h"
#include "context.h"
#include "error.h"
#include "grammar.h"
#include "helpers.h"
#include "output.h"
#include "registry.h"
#include "store.h"

#include <cerrno>
#include <cstring>
#include "sys.h"

#include <fcntl.h>
#include <unistd.h>

namespace ccsim {

namespace {

std::string read_config_spec_file(const std::string &file)
{
    int fd = sys::open(file, O_RDONLY);
    if (fd < 0)
        throw CtError("Unable to access " + quoted(file) + ": " + std::strerror(errno) + ".");
    std::string text;
    char buf[8192];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

// The view setcs sets: with -tag a dynamic view, else the snapshot view whose
// root holds the working directory. Its storage must be reachable.
const View &setcs_view(const Parsed &p, const Registry &reg, const Context &ctx)
{
    const View *found = nullptr;
    if (p.has("-tag")) {
        const std::string &name = p.opts.at("-tag");
        found = &tagged_view(reg, ctx, name, false);
        if (found->snapshot)
            throw CtError("The config spec of snapshot view " + quoted(name) +
                          " can be set only from inside the view, in its root directory.");
    } else {
        found = &current_view_or_throw(reg);
    }
    if (found->unreachable)
        throw CtError(kStorageUnavailable);
    return *found;
}

// Prints the problems of `text` as errors; false when there are any. The VOBs
// of the checkouts are looked at only when the usual ones do not do.
bool config_spec_ok(const std::string &text, const Registry &reg, const Context &ctx, Output &out)
{
    if (check_config_spec(text, known_vobs(reg, ctx, false)).empty())
        return true;
    auto problems = check_config_spec(text, known_vobs(reg, ctx, true));
    for (const auto &problem : problems)
        out.error(problem);
    return problems.empty();
}

} // namespace

int catcs(const Parsed &p, const Context &ctx, Output &out)
{
    const std::string &name = tag_option(p);
    Registry reg = Store(ctx.home, Store::Mode::Read).load();
    out.text(tagged_view(reg, ctx, name, true).config_spec);
    return 0;
}

// setcs -tag T sets a dynamic view's config spec; a snapshot view's is set
// from inside its root, without -tag. The rules are checked first.
int setcs(const Parsed &p, const Context &ctx, Output &out)
{
    std::string text = read_config_spec_file(p.args[0]);
    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    const View &found = setcs_view(p, reg, ctx);
    if (!config_spec_ok(text, reg, ctx, out))
        return 1;
    View *view = reg.view_for_update(found.uuid);
    view->config_spec = std::move(text);
    view->cs_updated = view->modified = now();
    store.save(reg);
    return 0;
}

} // namespace ccsim
