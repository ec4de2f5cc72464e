#include "uuid.h"

#include <cstdio>
#include <ctime>
#include "sys.h"

namespace ccsim {

namespace {

std::mt19937_64 seeded_rng()
{
    std::random_device rd;
    std::seed_seq seq{rd(), rd(), rd(), static_cast<unsigned>(sys::process_id()),
                      static_cast<unsigned>(std::time(nullptr))};
    return std::mt19937_64(seq);
}

} // namespace

UuidSource::UuidSource() : rng_(seeded_rng()) {}

std::string UuidSource::next()
{
    std::uint64_t a = rng_(), b = rng_();
    char buf[64];
    std::snprintf(buf, sizeof buf, "%08x.%08x.%04x.%02x:%02x:%02x:%02x:%02x:%02x",
                  static_cast<unsigned>(a >> 32), static_cast<unsigned>(a & 0xffffffffu),
                  static_cast<unsigned>(b >> 48), static_cast<unsigned>((b >> 40) & 0xff),
                  static_cast<unsigned>((b >> 32) & 0xff), static_cast<unsigned>((b >> 24) & 0xff),
                  static_cast<unsigned>((b >> 16) & 0xff), static_cast<unsigned>((b >> 8) & 0xff),
                  static_cast<unsigned>(b & 0xff));
    return buf;
}

} // namespace ccsim
