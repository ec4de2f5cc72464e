// An SSH client stand-in that reads its password as plink does: with
// "-pwfile PATH" it opens PATH with fopen and reads one line. Written in
// plain C++ so that it runs wherever the program does (Windows included).
//   ssh-client-standin -out FILE -pwfile PATH [WORD...]
// FILE gets: the first line read, a line with what a second open and read of
// PATH gave (a channel for one reader gives nothing), then every argument,
// one per line.
#include <cstdio>
#include <cstring>
#include <string>

namespace {
std::string readLine(const char *path)
{
    std::FILE *f = std::fopen(path, "rb");
    if (!f)
        return {};
    std::string line;
    for (int c; (c = std::fgetc(f)) != EOF && c != '\n';)
        line += char(c);
    std::fclose(f);
    return line;
}
} // namespace

int main(int argc, char **argv)
{
    const char *out = nullptr, *pwfile = nullptr;
    for (int i = 1; i + 1 < argc; ++i) {
        if (!std::strcmp(argv[i], "-out"))
            out = argv[i + 1];
        else if (!std::strcmp(argv[i], "-pwfile"))
            pwfile = argv[i + 1];
    }
    if (!out || !pwfile)
        return 2;
    const std::string first = readLine(pwfile);
    const std::string second = readLine(pwfile);
    std::FILE *f = std::fopen(out, "wb");
    if (!f)
        return 3;
    std::fprintf(f, "%s\n%s\n", first.c_str(), second.c_str());
    for (int i = 0; i < argc; ++i)
        std::fprintf(f, "%s\n", argv[i]);
    std::fclose(f);
    return 0;
}
