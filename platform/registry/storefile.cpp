#include "platform/registry/storefile.h"

#include "platform/runtime/posixfile.h"
#include "platform/runtime/userdirs.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <pwd.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <unordered_map>

namespace nv::reg {

namespace {
thread_local int t_lastIoError = 0; // the errno behind this thread's last IoError
} // namespace

int lastIoError()
{
    return t_lastIoError;
}

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
        t_lastIoError = e;
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

// An exclusive flock on a lock file, removed again when the lock is let go so
// that a store leaves nothing behind. Waits a bounded time, so a writer stuck
// elsewhere makes us fail rather than hang. A writer that got the lock on a
// file another one removed meanwhile holds nothing: it opens the file anew.
class StoreLock
{
public:
    StoreLock() = default;
    StoreLock(const StoreLock &) = delete;
    StoreLock &operator=(const StoreLock &) = delete;
    ~StoreLock() { release(); }

    Status acquire(const std::string &lockPath)
    {
        using namespace std::chrono;
        const auto deadline = steady_clock::now() + seconds(30);
        auto pause = microseconds(200);
        for (;;) {
            if (Status s = open(lockPath); s != Status::Ok)
                return s;
            if (::flock(m_fd.get(), LOCK_EX | LOCK_NB) == 0) {
                if (stillNamed(lockPath))
                    break;
                m_fd.reset();
                continue; // its holder removed it: try again at once
            }
            const int e = errno;
            m_fd.reset();
            if (e != EINTR && e != EWOULDBLOCK)
                return statusFromErrno(e);
            if (steady_clock::now() > deadline)
                return Status::IoError;
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, duration_cast<microseconds>(milliseconds(10)));
        }
        m_path = lockPath;
        return Status::Ok;
    }

    void release()
    {
        if (m_fd.valid() && !m_path.empty())
            ::unlink(m_path.c_str()); // while still held: nobody else holds this file now
        m_fd.reset();                 // closing the only descriptor releases the lock
        m_path.clear();
    }

private:
    Status open(const std::string &lockPath)
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
        m_fd.reset(fd);
        struct stat st;
        if (::fstat(m_fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
            return Status::IoError;
        return Status::Ok;
    }

    // The locked file is still the one the lock path names.
    bool stillNamed(const std::string &lockPath) const
    {
        struct stat held, named;
        return ::fstat(m_fd.get(), &held) == 0 && ::lstat(lockPath.c_str(), &named) == 0 &&
               held.st_dev == named.st_dev && held.st_ino == named.st_ino;
    }

    posix::Fd m_fd;
    std::string m_path;
};

// Whether a write may replace the file `f` read at `path`.
Status refusal(const std::string &path, const OpenedFile &f)
{
    switch (f.state) {
    case FileState::Missing:
        return Status::Ok;
    case FileState::Unreadable:
        return statusFromErrno(f.error);
    case FileState::Damaged:
        return Status::Damaged;
    case FileState::Ok:
        if (int e = posix::replaceRefusal(path, f.st))
            return statusFromErrno(e);
        return Status::Ok;
    }
    return Status::IoError;
}

// Two reads found the same file, unchanged.
bool sameFile(const OpenedFile &a, const OpenedFile &b)
{
    if (a.state != b.state)
        return false;
    return a.state == FileState::Missing ||
           (a.st.st_dev == b.st.st_dev && a.st.st_ino == b.st.st_ino &&
            a.st.st_size == b.st.st_size && a.st.st_mtim.tv_sec == b.st.st_mtim.tv_sec &&
            a.st.st_mtim.tv_nsec == b.st.st_mtim.tv_nsec);
}

std::string directoryOf(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The missing folders on the way to a store, made for a write and taken away
// again when it fails.
class MadeFolders
{
public:
    Status make(const std::string &dir)
    {
        std::vector<std::string> missing;
        struct stat st;
        for (std::string d = dir; ::stat(d.c_str(), &st) != 0; d = directoryOf(d)) {
            if (errno != ENOENT || d == "/" || d == ".")
                return statusFromErrno(errno);
            missing.push_back(d);
        }
        for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
            if (::mkdir(it->c_str(), 0777) == 0)
                m_made.push_back(*it);
            else if (errno != EEXIST) {
                const int e = errno;
                undo();
                return statusFromErrno(e);
            }
        }
        return Status::Ok;
    }
    // Only what is still empty goes: another writer may be using a folder by now.
    void undo()
    {
        for (auto it = m_made.rbegin(); it != m_made.rend(); ++it)
            ::rmdir(it->c_str());
        m_made.clear();
    }

private:
    std::vector<std::string> m_made;
};

// A writer killed during its write leaves its temporary copy beside the store
// (named as posix::replaceFile names them: ".NAME.tmp-PID-N"), up to the size
// of a store each. Run under the store's lock, this removes those of this
// user whose writer no longer runs. A process that took a dead writer's
// number keeps its copy in place, which costs room but never a write; our
// own number is skipped, for another thread may write through another name.
void removeStaleTemporaries(const std::string &path)
{
    const std::size_t slash = path.rfind('/');
    const std::string prefix =
        "." + (slash == std::string::npos ? path : path.substr(slash + 1)) + ".tmp-";
    DIR *dir = ::opendir(directoryOf(path).c_str());
    if (!dir)
        return;
    const pid_t self = ::getpid();
    while (const dirent *e = ::readdir(dir)) {
        const std::string_view name = e->d_name;
        if (!name.starts_with(prefix))
            continue;
        const std::string_view rest = name.substr(prefix.size());
        pid_t pid = 0;
        const auto [end, ec] = std::from_chars(rest.data(), rest.data() + rest.size(), pid);
        const std::string_view count = rest.substr(std::size_t(end - rest.data()));
        if (ec != std::errc() || pid <= 0 || pid == self || count.size() < 2 ||
            count.front() != '-' ||
            count.find_first_not_of("0123456789", 1) != std::string_view::npos)
            continue;
        struct stat st;
        if (::fstatat(::dirfd(dir), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 ||
            !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        if (::kill(pid, 0) == 0 || errno != ESRCH)
            continue;
        ::unlinkat(::dirfd(dir), e->d_name, 0);
    }
    ::closedir(dir);
}

} // namespace

LoadedFile loadStoreFile(const std::string &path)
{
    OpenedFile f = openAndParse(path);
    return LoadedFile{f.state, std::move(f.doc), std::move(f.problem), f.error};
}

Status modifyStoreFile(const std::string &requested,
                       const std::function<Status(Document &)> &change)
{
    t_lastIoError = 0;
    if (requested.empty())
        return Status::IoError;
    // A linked store is rewritten where it really lives; the link stays.
    const std::optional<std::string> target = posix::writeTarget(requested);
    if (!target)
        return Status::IoError;
    const std::string &path = *target;

    // Whatever can refuse the write, or find nothing to write, is asked
    // before anything is made: such a command leaves no folder, lock or file.
    OpenedFile before = openAndParse(path);
    if (Status s = refusal(path, before); s != Status::Ok)
        return s;
    Document planned(*before.doc);
    if (Status s = change(planned); s != Status::Ok)
        return s;
    if (planned == *before.doc)
        return Status::Ok;
    std::string text = planned.serialize();
    if (auto limit = checkLimits(text))
        return statusOfLimit(limit->kind);

    MadeFolders folders;
    Status s = folders.make(directoryOf(path));
    if (s != Status::Ok)
        return s;
    // Beside the store as it is named, so writers of that name exclude each
    // other. A linked store is locked beside its file as well, so writers
    // that reach it by another name do too; by now that file is known to be
    // a store, and both locks go with the write.
    StoreLock lock, targetLock;
    s = lock.acquire(requested + ".lock");
    if (s == Status::Ok && path != requested)
        s = targetLock.acquire(path + ".lock");
    if (s == Status::Ok) {
        // Another writer may have come first: the change is made again on what it left.
        OpenedFile now = openAndParse(path);
        s = refusal(path, now);
        if (s == Status::Ok && !sameFile(before, now)) {
            planned = Document(*now.doc);
            s = change(planned);
            if (s == Status::Ok) {
                text = planned.serialize();
                if (auto limit = checkLimits(text))
                    s = statusOfLimit(limit->kind);
            }
        }
        if (s == Status::Ok) {
            removeStaleTemporaries(path);
            struct stat written;
            const struct stat *old = now.state == FileState::Ok ? &now.st : nullptr;
            if (int e = posix::replaceFile(path, text, old, &written))
                s = statusFromErrno(e);
            else
                cache().put(path, written, std::make_shared<Document>(std::move(planned)));
        }
    }
    targetLock.release();
    lock.release();
    if (s != Status::Ok)
        folders.undo();
    return s;
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
