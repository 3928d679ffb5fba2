#pragma once

// Temporary folders and a small fake application folder for tests that run
// on real files.

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

namespace tmbr::testing {

// A fresh folder under the system's temporary folder, removed with all its
// content at the end of the scope. path() ends with "/".
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tmbr-test-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern + "/";
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return m_path; }
    // A sub-folder, created; ends with "/".
    std::string folder(const std::string& name) const
    {
        std::filesystem::create_directories(m_path + name);
        return m_path + name + "/";
    }

private:
    std::string m_path;
};

inline void writeBytes(const std::string& path, const std::string& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

inline std::string readBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

// Names of the entries of a folder, sorted.
inline std::vector<std::string> namesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Contents of the fake player files: distinct bytes per name, binary included.
inline std::string fakePlayerBytes(const std::string& name)
{
    return std::string("FWS\x07\0\x01", 6) + name;
}
inline const std::string kFakeSwfObject = "/* swfobject stand-in */\r\nvar SWFObject;\r\n";

// An application folder with the given players and "swfobject.js".
inline void makeAppFolder(const std::string& app, const std::vector<std::string>& buttonPlayers,
    const std::vector<std::string>& jukeboxPlayers, bool withSwfObject = true)
{
    std::filesystem::create_directories(app + "buttonplayers");
    std::filesystem::create_directories(app + "jukeboxplayers");
    for (const auto& name : buttonPlayers)
        writeBytes(app + "buttonplayers/" + name + ".swf", fakePlayerBytes(name));
    for (const auto& name : jukeboxPlayers)
        writeBytes(app + "jukeboxplayers/" + name + ".swf", fakePlayerBytes(name));
    if (withSwfObject)
        writeBytes(app + "swfobject.js", kFakeSwfObject);
}

} // namespace tmbr::testing
