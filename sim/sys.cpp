#include "sys.h"

#include "error.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <filesystem>
#include <io.h>
#include <process.h>
#include <windows.h>
#else
#include <climits>
#include <pwd.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace ccsim::sys {

namespace {

std::string env(const char *name)
{
    const char *v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

} // namespace

#ifdef _WIN32

const char *const kPathSeparators = "/\\";

bool is_absolute(const std::string &path)
{
    return (!path.empty() && (path[0] == '/' || path[0] == '\\')) || (path.size() > 1 && path[1] == ':');
}

int open(const std::string &path, int flags, int mode)
{
    return ::_open(path.c_str(), flags | _O_BINARY | _O_NOINHERIT, mode & (_S_IREAD | _S_IWRITE));
}

bool lock(int fd, bool exclusive)
{
    OVERLAPPED at{};
    HANDLE h = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
    return h != INVALID_HANDLE_VALUE &&
           ::LockFileEx(h, exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0, 0, MAXDWORD, MAXDWORD, &at);
}

long read_at_start(int fd, char *buf, unsigned long size)
{
    if (::_lseeki64(fd, 0, SEEK_SET) != 0)
        return -1;
    return ::_read(fd, buf, static_cast<unsigned>(size));
}

void write_whole(int fd, const std::string &text)
{
    if (::_lseeki64(fd, 0, SEEK_SET) == 0 &&
        ::_write(fd, text.data(), static_cast<unsigned>(text.size())) == static_cast<int>(text.size()))
        (void)::_chsize_s(fd, static_cast<long long>(text.size()));
}

bool replace(const std::string &from, const std::string &to)
{
    // A reader may hold the old file open for a moment: try again then.
    for (int attempt = 0; attempt < 50; ++attempt) {
        if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return true;
        if (::GetLastError() != ERROR_ACCESS_DENIED && ::GetLastError() != ERROR_SHARING_VIOLATION)
            break;
        ::Sleep(20);
    }
    errno = EACCES;
    return false;
}

void prepare_home_dir(const std::string &home, bool)
{
    // Who may write a folder is its ACL's business on Windows: a shared
    // registry is set up by whoever shares it.
    std::error_code ec;
    if (std::filesystem::is_directory(home, ec))
        return;
    if (std::filesystem::exists(home, ec))
        throw CtError("The view registry \"" + home + "\" is not a directory.");
    if (!std::filesystem::create_directories(home, ec) && ec)
        throw CtError("Unable to create the view registry directory \"" + home + "\": " + ec.message());
}

void utc_time(std::time_t t, std::tm &tm)
{
    ::gmtime_s(&tm, &t);
}

std::time_t from_utc_time(std::tm &tm)
{
    return ::_mkgmtime(&tm);
}

std::string user_name()
{
    char buf[257];
    DWORD size = sizeof buf;
    if (::GetUserNameA(buf, &size) && size > 1)
        return std::string(buf, size - 1);
    std::string name = env("USERNAME");
    return name.empty() ? "unknown" : name;
}

std::string host_name()
{
    char buf[MAX_COMPUTERNAME_LENGTH + 1];
    DWORD size = sizeof buf;
    if (!::GetComputerNameA(buf, &size) || size == 0)
        return "localhost";
    return std::string(buf, size);
}

std::string real_path(const std::string &path)
{
    std::error_code ec;
    std::string real = std::filesystem::canonical(path, ec).generic_string();
    return ec ? path : real;
}

std::string current_dir()
{
    std::error_code ec;
    std::string dir = std::filesystem::current_path(ec).generic_string();
    return ec ? std::string() : dir;
}

int process_id()
{
    return ::_getpid();
}

bool input_is_terminal()
{
    return ::_isatty(0);
}

void binary_standard_streams()
{
    ::_setmode(0, _O_BINARY);
    ::_setmode(1, _O_BINARY);
    ::_setmode(2, _O_BINARY);
}

void crash()
{
    // An exception code as status is what a crash looks like here.
    ::TerminateProcess(::GetCurrentProcess(), 0xC0000409u);
    ::_exit(134);
}

#else

const char *const kPathSeparators = "/";

bool is_absolute(const std::string &path)
{
    return !path.empty() && path[0] == '/';
}

int open(const std::string &path, int flags, int mode)
{
    return ::open(path.c_str(), flags | O_CLOEXEC, mode);
}

bool lock(int fd, bool exclusive)
{
    while (::flock(fd, exclusive ? LOCK_EX : LOCK_SH) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

long read_at_start(int fd, char *buf, unsigned long size)
{
    return static_cast<long>(::pread(fd, buf, size, 0));
}

void write_whole(int fd, const std::string &text)
{
    if (::pwrite(fd, text.data(), text.size(), 0) == static_cast<ssize_t>(text.size()))
        (void)::ftruncate(fd, static_cast<off_t>(text.size()));
}

bool replace(const std::string &from, const std::string &to)
{
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void prepare_home_dir(const std::string &home, bool shared_requested)
{
    auto sys_error = [](const std::string &what) { return what + ": " + std::strerror(errno); };
    struct stat st {};
    bool exists = ::stat(home.c_str(), &st) == 0;
    if (!exists) {
        if (shared_requested)
            ::umask(0);
        // Like "mkdir -p": missing parents are made too.
        for (std::size_t pos = home.find('/', 1);; pos = home.find('/', pos + 1)) {
            std::string part = home.substr(0, pos);
            if (::mkdir(part.c_str(), shared_requested ? 0777 : 0755) != 0 && errno != EEXIST)
                throw CtError(sys_error("Unable to create the view registry directory \"" + part + "\""));
            if (pos == std::string::npos)
                break;
        }
        return;
    }
    if (!S_ISDIR(st.st_mode))
        throw CtError("The view registry \"" + home + "\" is not a directory.");
    if (shared_requested && (st.st_mode & 0777) != 0777 && st.st_uid == ::geteuid())
        ::chmod(home.c_str(), 0777);
    if (shared_requested || (st.st_mode & S_IWOTH))
        ::umask(0);
}

void utc_time(std::time_t t, std::tm &tm)
{
    ::gmtime_r(&t, &tm);
}

std::time_t from_utc_time(std::tm &tm)
{
    return ::timegm(&tm);
}

std::string user_name()
{
    if (const passwd *pw = ::getpwuid(::geteuid()))
        return pw->pw_name;
    std::string name = env("USER");
    return name.empty() ? "unknown" : name;
}

std::string host_name()
{
    char buf[256] = {};
    if (::gethostname(buf, sizeof buf - 1) != 0 || !buf[0])
        return "localhost";
    return buf;
}

std::string real_path(const std::string &path)
{
    char *real = ::realpath(path.c_str(), nullptr);
    std::string result = real ? real : path;
    std::free(real);
    return result;
}

std::string current_dir()
{
    char buf[PATH_MAX];
    return ::getcwd(buf, sizeof buf) ? std::string(buf) : std::string();
}

int process_id()
{
    return static_cast<int>(::getpid());
}

bool input_is_terminal()
{
    return ::isatty(0);
}

void binary_standard_streams() {}

void crash()
{
    struct rlimit no_core {
        0, 0
    };
    ::setrlimit(RLIMIT_CORE, &no_core);
    std::signal(SIGABRT, SIG_DFL);
    std::raise(SIGABRT);
    ::_exit(134);
}

#endif

} // namespace ccsim::sys
