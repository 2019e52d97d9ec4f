#include "tests/support/scratchworld.h"

#include <cstdlib>
#include <cstring>
#include <grp.h>
#include <optional>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace nvtest {

namespace {

// What a world points at, below its directory.
const std::vector<std::pair<const char *, const char *>> kWorldVariables = {
    {"NV_TEST_SCRATCH", "scratch"},
    {"NORVALE_REGISTRY_DIR", "registry"},
    {"XDG_CONFIG_HOME", "config"},
    {"XDG_CONFIG_DIRS", "xdg"},
    {"XDG_DATA_HOME", "data"},
    {"XDG_CACHE_HOME", "cache"},
    {"HOME", "home"},
};

// The user id CI's unprivileged runs take: the traditional "nobody".
constexpr uid_t kUnprivilegedId = 65534;

// The system's temporary folder, open to every user, unless the run names
// another place.
fs::path worldRoot()
{
    const char *root = std::getenv("NV_TEST_SCRATCH_ROOT");
    fs::path p = root && *root ? fs::path(root) : fs::temp_directory_path();
    fs::create_directories(p);
    return p;
}

void makeWritableAgain(const fs::path &dir)
{
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (it->is_directory(ec) && !it->is_symlink(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
    }
}

class World
{
public:
    explicit World(const std::string &name)
    {
        std::string tmpl = (worldRoot() / ("norvale-" + name + "-XXXXXX")).string();
        if (!::mkdtemp(tmpl.data())) {
            std::perror("scratch world");
            std::abort();
        }
        m_dir = tmpl;
        // Traversable by others, so that a test may hand a folder inside it
        // to an unprivileged child.
        fs::permissions(m_dir, fs::perms(0755));
        for (const auto &[variable, sub] : kWorldVariables) {
            const char *old = std::getenv(variable);
            m_saved.emplace_back(variable, old ? std::optional<std::string>(old) : std::nullopt);
            fs::create_directories(m_dir / sub);
            ::setenv(variable, (m_dir / sub).c_str(), 1);
        }
    }

    ~World()
    {
        for (const auto &[variable, old] : m_saved) {
            if (old)
                ::setenv(variable.c_str(), old->c_str(), 1);
            else
                ::unsetenv(variable.c_str());
        }
        if (!std::getenv("NV_TEST_KEEP_SCRATCH")) {
            makeWritableAgain(m_dir);
            std::error_code ec;
            fs::remove_all(m_dir, ec);
        }
    }

    World(const World &) = delete;
    World &operator=(const World &) = delete;

    const fs::path &dir() const { return m_dir; }

private:
    fs::path m_dir;
    std::vector<std::pair<std::string, std::optional<std::string>>> m_saved;
};

std::optional<World> &processWorld()
{
    static std::optional<World> world;
    return world;
}

std::optional<World> &testWorld()
{
    static std::optional<World> world;
    return world;
}

std::string sanitized(std::string s)
{
    for (char &c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)))
            c = '_';
    // Short, so that socket paths below the world stay within their limit.
    return s.substr(0, 24);
}

class WorldListener : public testing::EmptyTestEventListener
{
    void OnTestStart(const testing::TestInfo &info) override
    {
        testWorld().emplace(sanitized(std::string(info.test_suite_name()) + "." + info.name()));
    }
    void OnTestEnd(const testing::TestInfo &) override { testWorld().reset(); }
    void OnTestProgramEnd(const testing::UnitTest &) override { processWorld().reset(); }
};

} // namespace

void installScratchWorld()
{
    processWorld().emplace("process");
    testing::UnitTest::GetInstance()->listeners().Append(new WorldListener);
}

fs::path worldDir()
{
    if (testWorld())
        return testWorld()->dir();
    return processWorld() ? processWorld()->dir() : fs::path();
}

std::string runUnprivileged(const std::function<std::string()> &body, const fs::path &dir)
{
    const bool root = ::geteuid() == 0;
    if (root && !dir.empty() && ::chown(dir.c_str(), kUnprivilegedId, kUnprivilegedId) != 0)
        return "cannot hand " + dir.string() + " to the unprivileged user";
    int fds[2];
    if (::pipe(fds) != 0)
        return "no pipe";
    const pid_t pid = ::fork();
    if (pid < 0)
        return "no fork";
    if (pid == 0) {
        ::close(fds[0]);
        std::string answer;
        if (root && (::setgroups(0, nullptr) != 0 || ::setgid(kUnprivilegedId) != 0 ||
                     ::setuid(kUnprivilegedId) != 0))
            answer = "cannot drop privileges";
        else if (::geteuid() == 0)
            answer = "still root";
        else if (!dir.empty() && ::access(dir.c_str(), R_OK | W_OK | X_OK) != 0)
            // Refused for the wrong reason, a case that tests a refusal
            // would pass without testing anything.
            answer = "the unprivileged user cannot reach " + dir.string();
        else
            answer = body();
        (void)!::write(fds[1], answer.data(), answer.size());
        ::_exit(answer.empty() ? 0 : 1);
    }
    ::close(fds[1]);
    std::string answer;
    char buf[512];
    ssize_t n;
    while ((n = ::read(fds[0], buf, sizeof buf)) > 0)
        answer.append(buf, static_cast<size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(pid, &status, 0);
    if (!WIFEXITED(status))
        return "the unprivileged child died";
    if (WEXITSTATUS(status) != 0 && answer.empty())
        return "the unprivileged child failed";
    return answer;
}

} // namespace nvtest
