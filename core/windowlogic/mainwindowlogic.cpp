#include "mainwindowlogic.h"

#include "codegen/appfolders.h"
#include "codegen/colour.h"
#include "codegen/generationerror.h"
#include "codegen/playername.h"
#include "codegen/webaddresses.h"
#include "messages.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>
#include <utility>

namespace tmbr::gui {

namespace {

constexpr std::uint32_t kStartColour = codegen::rgb(255, 204, 0);
constexpr std::uint32_t kDialogColour = codegen::rgb(255, 204, 102);

std::string colourText(std::uint32_t colour)
{
    return "0x" + codegen::ColourToHex(colour);
}

// A local file that the "*.mp3" filter would list and the dialog accept.
bool isExistingMp3(const std::string& path)
{
    const std::filesystem::path file(path);
    std::string extension = file.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
        [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    std::error_code error;
    return extension == ".mp3" && std::filesystem::is_regular_file(file, error);
}

// The standard error box text of a failure.
std::string errorText(const std::exception& error)
{
    if (const auto* generation = dynamic_cast<const codegen::GenerationError*>(&error))
        return codegen::standardErrorText(generation->number(), generation->description());
    // 51: the run-time's "internal error" number for failures of no known kind.
    return codegen::standardErrorText(51, error.what());
}

std::string folderOf(const std::string& path)
{
    return std::filesystem::path(path).parent_path().string();
}

std::string nameOf(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

} // namespace

MainWindowLogic::MainWindowLogic(
    codegen::AppFolders folders, Platform& platform, IMainView& view, codegen::Clock clock)
    : m_folders(std::move(folders))
    , m_platform(platform)
    , m_view(view)
    , m_clock(std::move(clock))
    , m_singleSwatch(kStartColour)
    , m_multiSwatch(kStartColour)
{
}

StartUpResult MainWindowLogic::startUp(IInstanceLock& lock)
{
    if (!lock.tryLock()) {
        showError(m_platform.messageBox, text::kAlreadyOpen);
        m_anotherInstance = true;
        m_view.requestClose();
        return StartUpResult::AlreadyRunning;
    }
    m_view.showWindow();
    try {
        if (codegen::cleanScratchFolder(m_folders.scratch) == codegen::ScratchCleanup::PermissionDenied)
            showWarning(m_platform.messageBox, text::kMp3InUse);

        m_singlePlayers = codegen::listPlayers(m_folders.app + "buttonplayers");
        if (!m_singlePlayers.empty())
            lstSingleClick(m_singlePlayers.size() - 1);
        m_multiPlayers = codegen::listPlayers(m_folders.app + "jukeboxplayers");
        if (!m_multiPlayers.empty())
            lstMultiClick(0);

        m_settings.multiAutoProgress = true;
        m_singleSwatch = kStartColour;
        m_multiSwatch = kStartColour;
        m_settings.playerColorSingle = colourText(kStartColour);
        m_settings.playerColorMulti = colourText(kStartColour);
    } catch (const std::exception& error) {
        showError(m_platform.messageBox, errorText(error));
        m_view.requestClose();
        return StartUpResult::Failed;
    }

    m_platform.cursor.setPointer(Pointer::Busy);
    m_view.showSplash();
    m_platform.cursor.setPointer(Pointer::Default);
    return StartUpResult::Ready;
}

bool MainWindowLogic::closeRequested()
{
    if (m_anotherInstance)
        return true;
    return confirm(m_platform.messageBox, text::kExitQuestion);
}

void MainWindowLogic::mnuInstructionsClick()
{
    m_platform.shell.open(m_folders.app + text::kHelpPage);
}

void MainWindowLogic::mnuSupportClick()
{
    m_platform.shell.open(codegen::kOnlineSupportPage);
}

void MainWindowLogic::mnuAboutClick()
{
    m_platform.shell.open(codegen::kProductHomePage);
}

void MainWindowLogic::formActivate()
{
    if (m_tab > 0) {
        if (m_selectedMulti)
            lstMultiClick(*m_selectedMulti);
    } else if (m_selectedSingle) {
        lstSingleClick(*m_selectedSingle);
    }
}

void MainWindowLogic::ssTabAudioClick(int tab)
{
    m_tab = tab;
    if (tab <= 0) {
        if (m_selectedSingle)
            setPreview(m_folders.app + "buttonplayers/" + m_settings.singlePlayer + ".swf", {});
    } else if (m_selectedMulti) {
        const std::string& name = m_settings.multiPlayer;
        setPreview(m_folders.app + "jukeboxplayers/" + name + ".swf",
            codegen::isColourable(name) ? m_settings.playerColorMulti : std::string());
    }
}

void MainWindowLogic::setPreview(std::string movie, std::string colour)
{
    m_previewMovie = std::move(movie);
    m_previewColour = std::move(colour);
}

// ---- "Single Button Control"

void MainWindowLogic::lstSingleClick(std::size_t index)
{
    if (index >= m_singlePlayers.size())
        return;
    m_selectedSingle = index;
    m_settings.singlePlayer = m_singlePlayers[index];
    const std::string movie = m_folders.app + "buttonplayers/" + m_settings.singlePlayer + ".swf";
    m_singleColourVisible = codegen::isColourable(m_settings.singlePlayer);
    if (m_singleColourVisible)
        setPreview(movie + "?c=" + m_settings.playerColorSingle, m_settings.playerColorSingle);
    else
        setPreview(movie, {});
}

void MainWindowLogic::cmdPlayerColorSingleClick()
{
    const std::uint32_t colour = m_platform.colourDialog.chooseColour(kDialogColour);
    m_singleSwatch = colour;
    m_settings.playerColorSingle = colourText(colour);
    setPreview(
        m_folders.app + "buttonplayers/" + m_settings.singlePlayer + ".swf?c=" + m_settings.playerColorSingle,
        m_settings.playerColorSingle);
}

void MainWindowLogic::cmdSingleLocateClick()
{
    const std::vector<std::string> chosen = m_platform.fileDialogs.run(
        { FileDialogMode::OpenOne, text::kOpenMp3File, text::kMp3Filter, text::kMp3Pattern, {} });
    if (chosen.empty())
        return;
    codegen::locateSingleMp3(m_settings, chosen.front());
}

void MainWindowLogic::cmdSingleOutputClick()
{
    codegen::chooseSingleOutputFolder(
        m_settings, m_platform.folderBrowser.BrowseForFolder(text::kSelectOutputFolder));
}

void MainWindowLogic::cmdSingleGenerateClick()
{
    runGenerator([this] {
        return codegen::generateSingleButton(m_settings, m_folders, m_clock, m_platform.processEvents);
    });
}

bool MainWindowLogic::acceptsSingleDrop(const std::vector<std::string>& paths)
{
    return paths.size() == 1 && isExistingMp3(paths.front());
}

void MainWindowLogic::dropOnSingleTab(const std::vector<std::string>& paths)
{
    if (acceptsSingleDrop(paths))
        codegen::locateSingleMp3(m_settings, paths.front());
}

// ---- "Multitrack JukeBox"

void MainWindowLogic::lstMultiClick(std::size_t index)
{
    if (index >= m_multiPlayers.size())
        return;
    m_selectedMulti = index;
    m_settings.multiPlayer = m_multiPlayers[index];
    m_multiColourVisible = codegen::isColourable(m_settings.multiPlayer);
    if (m_multiColourVisible)
        codegen::writeJukeboxPreviewSettings(m_folders, m_settings.playerColorMulti);
    setPreview(m_folders.app + "jukeboxplayers/" + m_settings.multiPlayer + ".swf",
        m_multiColourVisible ? m_settings.playerColorMulti : std::string());
}

void MainWindowLogic::cmdPlayerColorMultiClick()
{
    try {
        const std::uint32_t colour = m_platform.colourDialog.chooseColour(kDialogColour);
        m_multiSwatch = colour;
        m_settings.playerColorMulti = colourText(colour);
        codegen::writeJukeboxPreviewSettings(m_folders, m_settings.playerColorMulti);
        if (m_selectedMulti)
            lstMultiClick(*m_selectedMulti);
    } catch (const std::exception&) {
        // The colour choice ignores its failures.
    }
}

void MainWindowLogic::cmdMultiLocateClick()
{
    const std::vector<std::string> chosen = m_platform.fileDialogs.run(
        { FileDialogMode::OpenMany, text::kOpenMp3Files, text::kMp3Filter, text::kMp3Pattern, {} });
    if (chosen.empty())
        return;
    chooseJukeboxPaths(chosen);
}

void MainWindowLogic::chooseJukeboxPaths(const std::vector<std::string>& paths)
{
    std::vector<std::string> names;
    names.reserve(paths.size());
    for (const std::string& path : paths)
        names.push_back(nameOf(path));
    if (!codegen::chooseJukeboxFiles(m_settings, folderOf(paths.front()), names))
        showError(m_platform.messageBox, text::kAtLeastTwoFiles);
}

void MainWindowLogic::cmdReArrangeClick()
{
    if (m_settings.mp3Files.size() < 2) {
        showError(m_platform.messageBox, text::kNothingToRearrange);
        return;
    }
    const std::optional<Playlist> edited
        = m_view.rearrange({ m_settings.mp3Files, m_settings.mp3FileDisplayNames });
    if (!edited)
        return;
    m_settings.mp3Files = edited->files;
    m_settings.mp3FileDisplayNames = edited->displayNames;
}

void MainWindowLogic::cmdMultiOutputClick()
{
    codegen::chooseJukeboxOutputFolder(
        m_settings, m_platform.folderBrowser.BrowseForFolder(text::kSelectOutputFolder));
}

void MainWindowLogic::cmdMultiGenerateClick()
{
    runGenerator([this] { return codegen::generateJukebox(m_settings, m_folders, m_clock); });
}

void MainWindowLogic::setServerPathMultiPlayer(const std::string& text)
{
    codegen::setServerPathMultiPlayer(m_settings, text);
}

bool MainWindowLogic::acceptsJukeboxDrop(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return false;
    const std::string folder = folderOf(paths.front());
    return std::all_of(paths.begin(), paths.end(),
        [&](const std::string& path) { return isExistingMp3(path) && folderOf(path) == folder; });
}

void MainWindowLogic::dropOnJukeboxTab(const std::vector<std::string>& paths)
{
    if (acceptsJukeboxDrop(paths))
        chooseJukeboxPaths(paths);
}

// ---- Both generators

void MainWindowLogic::runGenerator(const std::function<codegen::GenerationResult()>& generate)
{
    // The code encoder lets window events run; a second press meanwhile is ignored.
    if (m_generating)
        return;
    m_generating = true;
    m_platform.cursor.setPointer(Pointer::Busy);
    codegen::GenerationResult result;
    try {
        result = generate();
    } catch (const std::exception& error) {
        result.status = codegen::GenerationStatus::Failed;
        result.message = errorText(error);
    }
    m_generating = false;

    switch (result.status) {
    case codegen::GenerationStatus::Generated:
        m_view.showCode(result.code, result.instructions);
        m_platform.cursor.setPointer(Pointer::Default);
        return;
    case codegen::GenerationStatus::Failed:
        showError(m_platform.messageBox, result.message);
        m_platform.cursor.setPointer(Pointer::Default);
        return;
    case codegen::GenerationStatus::Invalid:
        m_platform.cursor.setPointer(Pointer::Default);
        showError(m_platform.messageBox, result.message);
        break;
    }
    switch (result.followUp) {
    case codegen::FollowUp::None:
        break;
    case codegen::FollowUp::FocusSingleOutputButton:
        m_view.focus(Control::SingleOutputButton);
        break;
    case codegen::FollowUp::FocusJukeboxOutputButton:
        m_view.focus(Control::JukeboxOutputButton);
        break;
    case codegen::FollowUp::OpenJukeboxFileSelection:
        cmdMultiLocateClick();
        break;
    }
}

} // namespace tmbr::gui
