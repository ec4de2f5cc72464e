#pragma once

#include <vector>

// A benchmark: a name and a function that prints its figures as one JSON
// object on one line of standard output.
struct Bench {
    const char *name;
    void (*run)();
};

// Every benchmark of the program, in the order of registration.
inline std::vector<Bench> &bench_registry()
{
    static std::vector<Bench> all;
    return all;
}

struct BenchRegistration {
    BenchRegistration(const char *name, void (*run)()) { bench_registry().push_back({name, run}); }
};

// Defines and registers a benchmark:
//   QUILLON_BENCH(wait_cpu) { ... print one JSON line ... }
#define QUILLON_BENCH(name)                                                                                  \
    static void bench_##name();                                                                              \
    static const BenchRegistration bench_registration_##name(#name, &bench_##name);                          \
    static void bench_##name()
