#include "codewindowlogic.h"

#include "messages.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace tmbr::gui {

CodeWindowLogic::CodeWindowLogic(std::string code, std::string instructions, codegen::AppFolders folders,
    Platform& platform, std::string outputFolder, ITestPageServer* server)
    : m_code(std::move(code))
    , m_instructions(std::move(instructions))
    , m_folders(std::move(folders))
    , m_platform(platform)
    , m_outputFolder(std::move(outputFolder))
    , m_server(server)
{
}

void CodeWindowLogic::cmdGrabCodeClick()
{
    m_platform.clipboard.setText(m_code);
    showMessage(m_platform.messageBox, text::kGrabbedCode);
}

void CodeWindowLogic::cmdTestClick()
{
    const std::string page = "do-not-upload.html";
    const std::string address = m_server ? m_server->serve(m_folders.scratch, m_outputFolder) : std::string();
    m_platform.shell.open(address.empty() ? m_folders.scratch + page : address + page);
}

void CodeWindowLogic::cmdSaveCodeInstClick()
{
    FileDialogRequest request;
    request.mode = FileDialogMode::Save;
    request.title = text::kSaveAsTextFile;
    request.filterName = text::kTextFilter;
    request.pattern = text::kTextPattern;
    const std::vector<std::string> chosen = m_platform.fileDialogs.run(request);
    if (chosen.empty() || chosen.front().empty())
        return;
    const std::string& file = chosen.front();
    if (!replaceFileContent(file, codegen::savedCodeText(m_code, m_instructions)))
        return;
    showMessage(m_platform.messageBox, text::kSavedAsPrefix + file);
}

namespace {

bool writeAll(int fd, const std::string& content)
{
    std::size_t done = 0;
    while (done < content.size()) {
        const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool replaceFileContent(const std::string& path, const std::string& content)
{
    // O_EXCL under a name of our own; the mode 0666 lets the umask decide as
    // for any new file.
    static unsigned serial = 0;
    int fd = -1;
    std::string temporary;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(++serial);
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST)
            return false;
    }
    if (fd < 0)
        return false;
    bool ok = writeAll(fd, content);
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && std::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

} // namespace tmbr::gui
