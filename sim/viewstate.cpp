// Whether a view's server runs: startview and endview.

#include "commands.h"

#include "context.h"
#include "error.h"
#include "grammar.h"
#include "helpers.h"
#include "output.h"
#include "registry.h"
#include "store.h"

namespace ccsim {

namespace {

int set_active(const Parsed &p, const Context &ctx, Output &out, bool active)
{
    Store store(ctx.home, Store::Mode::Write);
    Registry reg = store.load();
    int status = 0;
    for (const auto &name : p.args) {
        try {
            View &v = tagged_view_for_update(reg, ctx, name, true);
            v.active = active;
            if (active)
                v.accessed = now();
        } catch (const CtError &e) {
            out.error(e.what());
            status = 1;
        }
    }
    store.save(reg);
    return status;
}

} // namespace

// startview also records the access time.
int startview(const Parsed &p, const Context &ctx, Output &out)
{
    return set_active(p, ctx, out, true);
}

int endview(const Parsed &p, const Context &ctx, Output &out)
{
    return set_active(p, ctx, out, false);
}

} // namespace ccsim
