// cleartool's subcommands as the simulator answers them. Each takes a valid
// command line, returns the exit status and throws CtError for a failure
// that ends the command.
#pragma once

namespace ccsim {

struct Context;
class Output;
struct Parsed;

// Runs the subcommand `p` names.
int execute(const Parsed &p, const Context &ctx, Output &out);

// listing.cpp
int lsview(const Parsed &p, const Context &ctx, Output &out);
int lsregion(const Parsed &p, const Context &ctx, Output &out);
int hostinfo(const Parsed &p, const Context &ctx, Output &out);
// viewtags.cpp
int mkview(const Parsed &p, const Context &ctx, Output &out);
int mktag(const Parsed &p, const Context &ctx, Output &out);
int rmview(const Parsed &p, const Context &ctx, Output &out);
int rmtag(const Parsed &p, const Context &ctx, Output &out);
int unregister(const Parsed &p, const Context &ctx, Output &out);
// viewconfig.cpp
int catcs(const Parsed &p, const Context &ctx, Output &out);
int setcs(const Parsed &p, const Context &ctx, Output &out);
// viewstate.cpp
int startview(const Parsed &p, const Context &ctx, Output &out);
int endview(const Parsed &p, const Context &ctx, Output &out);
// checkouts.cpp
int lsco(const Parsed &p, const Context &ctx, Output &out);
int lsprivate(const Parsed &p, const Context &ctx, Output &out);

} // namespace ccsim
