#include "storefile.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace nv::reg {

namespace {

std::string envValue(const char *name)
{
    const char *v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

std::string withoutTrailingSlashes(std::string dir)
{
    while (dir.size() > 1 && dir.back() == '/')
        dir.pop_back();
    return dir;
}

std::string homeDir()
{
    std::string home = envValue("HOME");
    if (!home.empty())
        return home;
    struct passwd pw;
    struct passwd *found = nullptr;
    char buf[4096];
    if (getpwuid_r(geteuid(), &pw, buf, sizeof buf, &found) == 0 && found && found->pw_dir)
        return found->pw_dir;
    return {};
}

} // namespace

std::string userStoreFile()
{
    std::string dir = envValue("NORVALE_REGISTRY_DIR");
    if (!dir.empty())
        return withoutTrailingSlashes(dir) + "/registry.reg";
    std::string config = envValue("XDG_CONFIG_HOME");
    if (config.empty() || config.front() != '/') { // relative values are to be ignored
        std::string home = homeDir();
        if (home.empty())
            return {};
        config = withoutTrailingSlashes(home) + "/.config";
    }
    return withoutTrailingSlashes(config) + "/norvale/registry.reg";
}

std::vector<std::string> machineStoreFiles()
{
    std::string dir = envValue("NORVALE_REGISTRY_DIR");
    if (!dir.empty())
        return {withoutTrailingSlashes(dir) + "/machine/registry.reg"};
    std::vector<std::string> files;
    std::string dirs = envValue("XDG_CONFIG_DIRS");
    size_t start = 0;
    while (start <= dirs.size()) {
        size_t colon = dirs.find(':', start);
        if (colon == std::string::npos)
            colon = dirs.size();
        std::string d = dirs.substr(start, colon - start);
        if (!d.empty() && d.front() == '/')
            files.push_back(withoutTrailingSlashes(d) + "/norvale/registry.reg");
        start = colon + 1;
    }
    if (files.empty())
        files.push_back("/etc/xdg/norvale/registry.reg");
    return files;
}

} // namespace nv::reg

namespace nv::reg::detail {

namespace {

Status statusFromErrno(int e)
{
    switch (e) {
    case EACCES:
    case EPERM:
    case EROFS:
        return Status::AccessDenied;
    default:
        return Status::IoError;
    }
}

class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    void reset(int fd)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    int release()
    {
        int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

enum class ReadResult { Ok, TooLarge, Error };

ReadResult readAll(int fd, std::string &out)
{
    out.clear();
    char buf[65536];
    for (;;) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return ReadResult::Error;
        }
        if (n == 0)
            return ReadResult::Ok;
        if (out.size() + size_t(n) > kMaxStoreFileSize)
            return ReadResult::TooLarge;
        out.append(buf, size_t(n));
    }
}

// Opens without blocking (a FIFO in place of the file must not hang us) and
// accepts only a regular file.
struct OpenedFile
{
    FileState state = FileState::Missing;
    int error = 0;
    struct stat st = {};
    std::string text;
};

OpenedFile openAndRead(const std::string &path)
{
    OpenedFile r;
    if (path.empty())
        return r;
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0) {
        r.error = errno;
        r.state = errno == ENOENT || errno == ENOTDIR ? FileState::Missing : FileState::Unreadable;
        return r;
    }
    if (::fstat(fd.get(), &r.st) != 0) {
        r.error = errno;
        r.state = FileState::Unreadable;
        return r;
    }
    if (!S_ISREG(r.st.st_mode) || r.st.st_size > off_t(kMaxStoreFileSize)) {
        r.state = FileState::Damaged;
        return r;
    }
    switch (readAll(fd.get(), r.text)) {
    case ReadResult::Ok:
        r.state = FileState::Ok;
        break;
    case ReadResult::TooLarge:
        r.state = FileState::Damaged;
        break;
    case ReadResult::Error:
        r.error = errno;
        r.state = FileState::Unreadable;
        break;
    }
    return r;
}

bool parseInto(const std::string &text, Document &doc)
{
    if (text.empty()) { // a freshly touched file holds nothing to lose
        doc = Document();
        return true;
    }
    auto parsed = Document::parse(text);
    if (!parsed)
        return false;
    doc = std::move(*parsed);
    return true;
}

// An exclusive flock on PATH.lock. Waits a bounded time, so a writer stuck
// elsewhere makes us fail rather than hang.
class StoreLock
{
public:
    Status acquire(const std::string &lockPath)
    {
        int fd = ::open(lockPath.c_str(),
                        O_RDWR | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY, 0666);
        if (fd < 0 && (errno == EACCES || errno == EROFS)) {
            // An existing lock file we may not write still locks; without one
            // the place is not writable for us.
            int denied = errno;
            fd =
                ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY);
            if (fd < 0)
                return statusFromErrno(errno == ENOENT ? denied : errno);
        }
        if (fd < 0)
            return statusFromErrno(errno);
        m_fd = fd;
        struct stat st;
        if (::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode))
            return Status::IoError;
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + seconds(30);
        auto pause = microseconds(200);
        for (;;) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
                return Status::Ok;
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK)
                return Status::IoError;
            if (steady_clock::now() > deadline)
                return Status::IoError;
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, duration_cast<microseconds>(milliseconds(10)));
        }
    }
    ~StoreLock()
    {
        if (m_fd >= 0)
            ::close(m_fd); // closing the only descriptor releases the lock
    }

private:
    int m_fd = -1;
};

bool writeAll(int fd, const std::string &text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += size_t(n);
    }
    return true;
}

Status replaceFile(const std::string &path, const std::string &text, const struct stat *old)
{
    static std::atomic<unsigned> counter{0};
    std::string tmp;
    Fd fd;
    for (int attempt = 0;; ++attempt) {
        tmp = path + ".tmp-" + std::to_string(getpid()) + "-" + std::to_string(counter++);
        int f = ::open(tmp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (f >= 0) {
            fd.reset(f);
            break;
        }
        if (errno != EEXIST || attempt > 100)
            return statusFromErrno(errno);
    }
    auto fail = [&](int e) {
        ::unlink(tmp.c_str());
        return statusFromErrno(e);
    };
    if (old) {
        if (::fchmod(fd.get(), old->st_mode & 07777) != 0)
            return fail(errno);
        // root rewriting someone's store must not take the file over
        if (geteuid() == 0 && ::fchown(fd.get(), old->st_uid, old->st_gid) != 0)
            return fail(errno);
    }
    if (!writeAll(fd.get(), text) || ::fsync(fd.get()) != 0)
        return fail(errno);
    if (::close(fd.release()) != 0)
        return fail(errno);
    if (::rename(tmp.c_str(), path.c_str()) != 0)
        return fail(errno);
    std::string dir = fs::path(path).parent_path().string();
    Fd dirFd(::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dirFd.get() >= 0)
        ::fsync(dirFd.get()); // the rename is done; a failed directory sync loses nothing now
    return Status::Ok;
}

} // namespace

LoadedFile loadStoreFile(const std::string &path)
{
    LoadedFile r;
    OpenedFile f = openAndRead(path);
    r.state = f.state;
    if (f.state == FileState::Ok && !parseInto(f.text, r.doc)) {
        r.state = FileState::Damaged;
        r.doc = Document();
    }
    return r;
}

Status modifyStoreFile(const std::string &requested,
                       const std::function<Status(Document &)> &change)
{
    if (requested.empty())
        return Status::IoError;
    std::string path = requested;
    struct stat lst;
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        // A linked store is rewritten where it really lives; the link stays.
        char *real = ::realpath(path.c_str(), nullptr);
        if (!real)
            return Status::IoError;
        path = real;
        std::free(real);
    }
    std::error_code ec;
    fs::path dir = fs::path(path).parent_path();
    if (!dir.empty())
        fs::create_directories(dir, ec);
    if (ec)
        return statusFromErrno(ec.value());

    StoreLock lock;
    if (Status s = lock.acquire(path + ".lock"); s != Status::Ok)
        return s;

    OpenedFile f = openAndRead(path);
    Document doc;
    switch (f.state) {
    case FileState::Missing:
        break;
    case FileState::Unreadable:
        return statusFromErrno(f.error);
    case FileState::Damaged:
        return Status::Damaged;
    case FileState::Ok:
        if (!parseInto(f.text, doc))
            return Status::Damaged;
        break;
    }
    if (Status s = change(doc); s != Status::Ok)
        return s;
    return replaceFile(path, doc.serialize(), f.state == FileState::Ok ? &f.st : nullptr);
}

bool writeTargetIsMachine()
{
    const char *v = std::getenv("NORVALE_REGISTRY_TARGET");
    return v && iequals(v, "machine");
}

std::vector<std::string> readFilesFor(Root root)
{
    std::vector<std::string> files;
    // A machine-wide registration judges the classes by the machine's own
    // parts: a user's copy must not make it leave the machine's entries.
    if (root == Root::CurrentUser || (root == Root::ClassesRoot && !writeTargetIsMachine()))
        files.push_back(userStoreFile());
    if (root != Root::CurrentUser) {
        auto machine = machineStoreFiles();
        files.insert(files.end(), machine.begin(), machine.end());
    }
    return files;
}

std::string writeFileFor(Root root)
{
    bool machine =
        root == Root::LocalMachine || (root == Root::ClassesRoot && writeTargetIsMachine());
    return machine ? machineStoreFiles().front() : userStoreFile();
}

} // namespace nv::reg::detail
