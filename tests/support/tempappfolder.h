#pragma once

// A temporary application folder with fake players, and a scratch folder
// beside it; everything is removed at destruction.

#include "codegen/generators.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <stdexcept>
#include <string>

namespace tmbr::gui::test {

class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "tmbrgui-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        m_path = pattern + "/";
    }
    ~TempFolder()
    {
        std::error_code error;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, error);
        std::filesystem::remove_all(m_path, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // Ends with "/".
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

inline void writeFile(const std::string& path, const std::string& content)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream out(path, std::ios::binary);
    out << content;
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

inline std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

inline bool exists(const std::string& path)
{
    return std::filesystem::exists(path);
}

// <root>/app/ with buttonplayers/, jukeboxplayers/, swfobject.js and the help
// page; <root>/scratch/ as the scratch folder.
class TempAppFolder {
public:
    TempAppFolder(
        std::initializer_list<const char*> buttonPlayers, std::initializer_list<const char*> jukeboxPlayers)
    {
        m_folders.app = m_root.path() + "app/";
        m_folders.scratch = m_root.path() + "scratch/";
        std::filesystem::create_directories(m_folders.app + "buttonplayers");
        std::filesystem::create_directories(m_folders.app + "jukeboxplayers");
        std::filesystem::create_directories(m_folders.scratch);
        for (const char* name : buttonPlayers)
            writeFile(m_folders.app + "buttonplayers/" + name, std::string("FWS player ") + name);
        for (const char* name : jukeboxPlayers)
            writeFile(m_folders.app + "jukeboxplayers/" + name, std::string("FWS jukebox ") + name);
        writeFile(m_folders.app + "swfobject.js", "/* swfobject */\r\n");
        writeFile(m_folders.app + "tmbr_sa.html", "<html></html>\r\n");
    }

    const codegen::AppFolders& folders() const { return m_folders; }
    const std::string& app() const { return m_folders.app; }
    const std::string& scratch() const { return m_folders.scratch; }
    // A folder of its own under the temporary root, ending with "/".
    std::string folder(const std::string& name) const
    {
        std::filesystem::create_directories(m_root.path() + name);
        return m_root.path() + name + "/";
    }

private:
    TempFolder m_root;
    codegen::AppFolders m_folders;
};

} // namespace tmbr::gui::test
