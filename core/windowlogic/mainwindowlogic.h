#pragma once

#include "codegen/generators.h"
#include "imainview.h"
#include "platform/iinstancelock.h"
#include "platform/platform.h"
#include "playlist.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tmbr::gui {

enum class StartUpResult {
    Ready, // the main window is up
    AlreadyRunning, // another instance runs: the program ends without confirmation
    Failed, // the standard error box was shown and the window asked to close
};

// The main window's state and its handlers, one per control event. The window
// forwards every event here and then shows the state; texts typed and boxes
// ticked by the user go straight into settings().
class MainWindowLogic {
public:
    MainWindowLogic(codegen::AppFolders folders, Platform& platform, IMainView& view,
        codegen::Clock clock = codegen::systemClock());

    // Single instance, scratch clean-up, both player lists with their
    // selections, start values, then the splash window.
    StartUpResult startUp(IInstanceLock& lock);

    // Every close path of the main window: true when it may close. After a
    // second start it closes at once; otherwise "EXIT TAMBREL STREAMING
    // AUDIO?" decides.
    bool closeRequested();
    bool anotherInstance() const { return m_anotherInstance; }

    codegen::GeneratorSettings& settings() { return m_settings; }
    const codegen::GeneratorSettings& settings() const { return m_settings; }
    const codegen::AppFolders& folders() const { return m_folders; }

    const std::vector<std::string>& singlePlayers() const { return m_singlePlayers; }
    const std::vector<std::string>& multiPlayers() const { return m_multiPlayers; }
    std::optional<std::size_t> selectedSingle() const { return m_selectedSingle; }
    std::optional<std::size_t> selectedMulti() const { return m_selectedMulti; }

    // Colour button and swatch of each tab: shown for colourable players.
    bool singleColourVisible() const { return m_singleColourVisible; }
    bool multiColourVisible() const { return m_multiColourVisible; }
    std::uint32_t singleSwatch() const { return m_singleSwatch; }
    std::uint32_t multiSwatch() const { return m_multiSwatch; }

    // The preview's movie: a player file, for a coloured single button
    // followed by "?c=" and the colour text. previewColour() is the colour the
    // previewed player shows (for a jukebox the one its preview settings hold),
    // empty for the player's own look.
    const std::string& previewMovie() const { return m_previewMovie; }
    const std::string& previewColour() const { return m_previewColour; }

    int tab() const { return m_tab; }

    // Menus
    void mnuSelectClick(codegen::CodeType type) { m_settings.codeType = type; }
    void mnuInstructionsClick();
    void mnuSupportClick();
    void mnuAboutClick();

    // Window
    void formActivate();
    void ssTabAudioClick(int tab);

    // "Single Button Control"
    void lstSingleClick(std::size_t index);
    void cmdPlayerColorSingleClick();
    void cmdSingleLocateClick();
    void cmdSingleOutputClick();
    void cmdSingleGenerateClick();
    // MP3 files dropped on the tab: exactly one existing ".mp3" file acts as
    // the MP3 locator's choice.
    static bool acceptsSingleDrop(const std::vector<std::string>& paths);
    void dropOnSingleTab(const std::vector<std::string>& paths);

    // "Multitrack JukeBox"
    void lstMultiClick(std::size_t index);
    void cmdPlayerColorMultiClick();
    void cmdMultiLocateClick();
    void cmdReArrangeClick();
    void cmdMultiOutputClick();
    void cmdMultiGenerateClick();
    // Typing into txtServerPathMultiPlayer (copied into the MP3 path).
    void setServerPathMultiPlayer(const std::string& text);
    // Existing ".mp3" files of one folder dropped on the tab act as the
    // multi-file dialog's choice, with its rules and messages.
    static bool acceptsJukeboxDrop(const std::vector<std::string>& paths);
    void dropOnJukeboxTab(const std::vector<std::string>& paths);

private:
    void setPreview(std::string movie, std::string colour);
    void chooseJukeboxPaths(const std::vector<std::string>& paths);
    void runGenerator(const std::function<codegen::GenerationResult()>& generate);

    codegen::AppFolders m_folders;
    Platform& m_platform;
    IMainView& m_view;
    codegen::Clock m_clock;

    codegen::GeneratorSettings m_settings;
    std::vector<std::string> m_singlePlayers;
    std::vector<std::string> m_multiPlayers;
    std::optional<std::size_t> m_selectedSingle;
    std::optional<std::size_t> m_selectedMulti;
    bool m_singleColourVisible = false;
    bool m_multiColourVisible = false;
    std::uint32_t m_singleSwatch;
    std::uint32_t m_multiSwatch;
    std::string m_previewMovie;
    std::string m_previewColour;
    int m_tab = 0;
    bool m_anotherInstance = false;
    bool m_generating = false;
};

} // namespace tmbr::gui
