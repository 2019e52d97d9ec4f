#include "platform/registry/storefile.h"

#include "platform/runtime/posixfile.h"
#include "platform/runtime/userdirs.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <mutex>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace fs = std::filesystem;

namespace nv::reg {

std::string userStoreFile()
{
    std::string dir = envValue("NORVALE_REGISTRY_DIR");
    if (!dir.empty())
        return withoutTrailingSlashes(dir) + "/registry.reg";
    const std::string config = userConfigHome();
    if (config.empty())
        return {};
    return config + "/norvale/registry.reg";
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

// The documents of files read before, by path, with what identified the file
// then. Our writes replace a file by a new one (another inode), an editor
// saving in place changes its modification time (only an edit of the same
// size within one tick of a coarse clock would go unseen).
class DocumentCache
{
public:
    std::shared_ptr<Document> find(const std::string &path, const struct stat &st)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto it = m_entries.find(path);
        return it != m_entries.end() && same(it->second.st, st) ? it->second.doc : nullptr;
    }
    void put(const std::string &path, const struct stat &st, std::shared_ptr<Document> doc)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries[path] = Entry{st, std::move(doc)};
    }
    void forget(const std::string &path)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_entries.erase(path);
    }

private:
    // Handed out as const: only a writer that holds the last reference,
    // after forgetting the entry, changes a document.
    struct Entry
    {
        struct stat st;
        std::shared_ptr<Document> doc;
    };
    static bool same(const struct stat &a, const struct stat &b)
    {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
               a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
    }
    std::mutex m_mutex;
    std::unordered_map<std::string, Entry> m_entries;
};

DocumentCache &cache()
{
    static DocumentCache c;
    return c;
}

// A store file opened without blocking (a FIFO in place of the file must not
// hang us), only when it is a regular file, and parsed.
struct OpenedFile
{
    FileState state = FileState::Missing;
    int error = 0;
    struct stat st = {};
    std::shared_ptr<Document> doc = std::make_shared<Document>();
    std::string problem;
};

OpenedFile openAndParse(const std::string &path)
{
    OpenedFile r;
    if (path.empty())
        return r;
    posix::OpenedFile f = posix::openRegularForRead(path);
    r.st = f.info;
    if (!f.ok()) {
        r.error = f.error;
        if (f.missing()) {
            r.state = FileState::Missing;
        } else if (f.error) {
            r.state = FileState::Unreadable;
        } else {
            r.state = FileState::Damaged;
            r.problem = "not a regular file";
        }
        return r;
    }
    if (auto cached = cache().find(path, f.info)) {
        r.state = FileState::Ok;
        r.doc = std::move(cached);
        return r;
    }
    const std::string tooLarge = "larger than " + std::to_string(kMaxStoreFileSize >> 20) + " MiB";
    std::string text;
    if (f.info.st_size > off_t(kMaxStoreFileSize)) {
        r.state = FileState::Damaged;
        r.problem = tooLarge;
        return r;
    }
    switch (posix::readCapped(f.fd.get(), kMaxStoreFileSize, text)) {
    case posix::ReadStatus::Ok:
        break;
    case posix::ReadStatus::TooLarge:
        r.state = FileState::Damaged;
        r.problem = tooLarge;
        return r;
    case posix::ReadStatus::Error:
        r.error = errno;
        r.state = FileState::Unreadable;
        return r;
    }
    if (text.empty()) { // a freshly touched file holds nothing to lose
        r.state = FileState::Ok;
        return r;
    }
    ParseProblem p;
    auto parsed = Document::parse(text, &p);
    if (!parsed) {
        r.state = FileState::Damaged;
        r.problem = p.line ? "line " + std::to_string(p.line) + ": " + p.reason : p.reason;
        return r;
    }
    r.state = FileState::Ok;
    r.doc = std::make_shared<Document>(std::move(*parsed));
    cache().put(path, f.info, r.doc);
    return r;
}

Status statusOfLimit(ParseProblem::Kind kind)
{
    switch (kind) {
    case ParseProblem::Kind::TooLarge:
        return Status::StoreTooLarge;
    case ParseProblem::Kind::LineTooLong:
        return Status::NameTooLong;
    case ParseProblem::Kind::TooDeep:
        return Status::KeyTooDeep;
    case ParseProblem::Kind::Malformed:
        break;
    }
    return Status::InvalidArgument;
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
        m_fd.reset(fd); // closing the only descriptor releases the lock
        struct stat st;
        if (::fstat(m_fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
            return Status::IoError;
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + seconds(30);
        auto pause = microseconds(200);
        for (;;) {
            if (::flock(m_fd.get(), LOCK_EX | LOCK_NB) == 0)
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

private:
    posix::Fd m_fd;
};

} // namespace

LoadedFile loadStoreFile(const std::string &path)
{
    OpenedFile f = openAndParse(path);
    return LoadedFile{f.state, std::move(f.doc), std::move(f.problem)};
}

Status modifyStoreFile(const std::string &requested,
                       const std::function<Status(Document &)> &change)
{
    if (requested.empty())
        return Status::IoError;
    // A linked store is rewritten where it really lives; the link stays.
    const std::optional<std::string> target = posix::writeTarget(requested);
    if (!target)
        return Status::IoError;
    const std::string &path = *target;
    std::error_code ec;
    fs::path dir = fs::path(path).parent_path();
    if (!dir.empty())
        fs::create_directories(dir, ec);
    if (ec)
        return statusFromErrno(ec.value());

    StoreLock lock;
    if (Status s = lock.acquire(path + ".lock"); s != Status::Ok)
        return s;

    OpenedFile f = openAndParse(path);
    switch (f.state) {
    case FileState::Missing:
        break;
    case FileState::Unreadable:
        return statusFromErrno(f.error);
    case FileState::Damaged:
        return Status::Damaged;
    case FileState::Ok:
        if (int e = posix::replaceRefusal(path, f.st))
            return statusFromErrno(e);
        break;
    }
    // The document read is changed in place when nobody else holds it.
    cache().forget(path);
    Document doc = f.doc.use_count() == 1 ? std::move(*f.doc) : Document(*f.doc);
    f.doc.reset();
    if (Status s = change(doc); s != Status::Ok)
        return s;
    const std::string text = doc.serialize();
    if (auto limit = checkLimits(text))
        return statusOfLimit(limit->kind);
    struct stat written;
    if (int e =
            posix::replaceFile(path, text, f.state == FileState::Ok ? &f.st : nullptr, &written))
        return statusFromErrno(e);
    cache().put(path, written, std::make_shared<Document>(std::move(doc)));
    return Status::Ok;
}

bool writeTargetIsMachine()
{
    const char *v = std::getenv("NORVALE_REGISTRY_TARGET");
    return v && equalsIgnoringCase(v, "machine");
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
