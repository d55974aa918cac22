// The runtime folder Palvex gives Qt where the environment names none: the user's alone, made
// so when missing, and never one that another user could have planted or reached.

#include "platform/RuntimeFolder.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

namespace palvex::test {
namespace {

mode_t modeOf(const std::string& path) {
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : mode_t(-1);
}

class RuntimeFolderTest : public ::testing::Test {
protected:
    std::string path(const char* name) const { return m_parent.path().toStdString() + "/" + name; }

    QTemporaryDir m_parent;
    const uid_t m_user = ::geteuid();
};

TEST_F(RuntimeFolderTest, AMissingFolderIsMadeForTheUserAloneAndThenUsedAsItIs) {
    const std::string folder = path("runtime");
    ASSERT_TRUE(RuntimeFolder::prepare(folder, m_user));
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_TRUE(RuntimeFolder::prepare(folder, m_user)) << "the user's own folder, found again";

    // A umask that takes the owner's bits too still gives a folder the owner can use.
    const mode_t before = ::umask(0277);
    const bool made = RuntimeFolder::prepare(path("under-umask"), m_user);
    ::umask(before);
    EXPECT_TRUE(made);
    EXPECT_EQ(modeOf(path("under-umask")), 0700u);
}

TEST_F(RuntimeFolderTest, AFolderOthersOwnOrReachIsRefusedAndLeftAsItIs) {
    // Reachable by others: what lies in it may not be the user's alone.
    const std::string open = path("open");
    ASSERT_EQ(::mkdir(open.c_str(), 0700), 0);
    ASSERT_EQ(::chmod(open.c_str(), 0755), 0);
    EXPECT_FALSE(RuntimeFolder::prepare(open, m_user));
    EXPECT_EQ(modeOf(open), 0755u);

    // Another user's, though fit otherwise (the folder is ours; the owner asked for is not).
    const std::string theirs = path("theirs");
    ASSERT_EQ(::mkdir(theirs.c_str(), 0700), 0);
    EXPECT_FALSE(RuntimeFolder::prepare(theirs, m_user + 1));

    // A link planted under the name, to a folder that would be fit: not followed.
    const std::string fit = path("fit"), link = path("link");
    ASSERT_TRUE(RuntimeFolder::prepare(fit, m_user));
    ASSERT_EQ(::symlink(fit.c_str(), link.c_str()), 0);
    EXPECT_FALSE(RuntimeFolder::prepare(link, m_user));

    // A file under the name, and a name under a parent that does not exist.
    const std::string file = path("file");
    std::FILE* made = std::fopen(file.c_str(), "w");
    ASSERT_NE(made, nullptr);
    std::fclose(made);
    EXPECT_FALSE(RuntimeFolder::prepare(file, m_user));
    EXPECT_FALSE(RuntimeFolder::prepare(path("missing/runtime"), m_user));
}

// Sets an environment variable for the test's length, or removes it (nullopt).
class ScopedVariable {
public:
    ScopedVariable(const char* name, std::optional<std::string> value) : m_name(name) {
        if (const char* old = std::getenv(name)) m_old = old;
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;
    ~ScopedVariable() {
        if (m_old)
            ::setenv(m_name, m_old->c_str(), 1);
        else
            ::unsetenv(m_name);
    }

private:
    const char* m_name;
    std::optional<std::string> m_old;
};

TEST_F(RuntimeFolderTest, TheEnvironmentNamesTheFolderOnlyWhereItNamedNone) {
    const ScopedVariable tmp("TMPDIR", m_parent.path().toStdString());
    {
        const ScopedVariable given("XDG_RUNTIME_DIR", std::string("/run/user/given"));
        RuntimeFolder::provide();
        EXPECT_STREQ(std::getenv("XDG_RUNTIME_DIR"), "/run/user/given");
    }
    const std::string own = path("palvex-runtime-") + std::to_string(m_user);
    {
        const ScopedVariable none("XDG_RUNTIME_DIR", std::nullopt);
        RuntimeFolder::provide();
        EXPECT_STREQ(std::getenv("XDG_RUNTIME_DIR"), own.c_str());
        EXPECT_EQ(modeOf(own), 0700u);
    }
    {
        // The folder found unfit: the variable stays unset, and Qt says what it found.
        ASSERT_EQ(::chmod(own.c_str(), 0755), 0);
        const ScopedVariable none("XDG_RUNTIME_DIR", std::nullopt);
        RuntimeFolder::provide();
        EXPECT_EQ(std::getenv("XDG_RUNTIME_DIR"), nullptr);
    }
}

} // namespace
} // namespace palvex::test
