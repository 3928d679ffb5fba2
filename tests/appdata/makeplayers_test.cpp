#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <map>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

namespace fs = std::filesystem;

extern char** environ;

namespace {

const fs::path kDataDir = fs::path(TMBR_SOURCE_DIR) / "data";

// Relative path -> contents of every player ("*.swf") under root.
std::map<std::string, std::string> players(const fs::path& root)
{
    std::map<std::string, std::string> files;
    for (const char* folder : { "buttonplayers", "jukeboxplayers" }) {
        if (!fs::is_directory(root / folder))
            continue;
        for (const auto& entry : fs::directory_iterator(root / folder)) {
            if (entry.path().extension() != ".swf")
                continue;
            std::ifstream in(entry.path(), std::ios::binary);
            files[std::string(folder) + "/" + entry.path().filename().string()]
                = { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
        }
    }
    return files;
}

// Exit status of the generator run with the given output folder, or -1 when it did not exit.
int runGenerator(const fs::path& outDir)
{
    const std::string python = TMBR_PYTHON3;
    const std::string script = (kDataDir / "make_players.py").string();
    const std::string out = outDir.string();
    char* argv[] = { const_cast<char*>(python.c_str()), const_cast<char*>(script.c_str()),
        const_cast<char*>(out.c_str()), nullptr };
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv, environ) != 0)
        return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

class TempDir {
public:
    TempDir()
    {
        std::string pattern = (fs::temp_directory_path() / "tmbr-players-XXXXXX").string();
        if (mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempDir()
    {
        std::error_code ignored;
        if (!m_path.empty())
            fs::remove_all(m_path, ignored);
    }
    const fs::path& path() const { return m_path; }

private:
    fs::path m_path;
};

} // namespace

// The generator is the source of the committed players: a fresh run writes the same files, byte for byte.
TEST(MakePlayersTest, FreshRunReproducesTheCommittedPlayers)
{
    TempDir tmp;
    ASSERT_FALSE(tmp.path().empty());
    ASSERT_EQ(runGenerator(tmp.path()), 0);
    const auto committed = players(kDataDir);
    const auto generated = players(tmp.path());
    ASSERT_FALSE(committed.empty());
    EXPECT_EQ(generated.size(), committed.size());
    for (const auto& [name, bytes] : committed) {
        const auto fresh = generated.find(name);
        ASSERT_NE(fresh, generated.end()) << name << " is not generated";
        EXPECT_TRUE(fresh->second == bytes) << name << " differs from the generator's output";
    }
}

// The staged application folder carries exactly the committed players.
TEST(MakePlayersTest, StagedPlayersAreTheCommittedOnes)
{
    const char* app = std::getenv("TMBRSA_APP_DIR");
    ASSERT_NE(app, nullptr);
    EXPECT_TRUE(players(app) == players(kDataDir));
}
