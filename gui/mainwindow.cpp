#include "mainwindow.h"

#include "appicon.h"
#include "codewindow.h"
#include "itemviews.h"
#include "mci/mciinterpreter.h"
#include "messagetexts.h"
#include "optimizerwindow.h"
#include "previewwidget.h"
#include "rearrangedialog.h"
#include "recorderwindow.h"
#include "splashwindow.h"
#include "tooltips.h"
#include "windowbutton.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDropEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace tmbr::gui {

namespace {

// A label that shows a path: long texts do not widen the window.
QLabel* pathLabel(const char* name)
{
    auto* label = named<QLabel>(name);
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setFrameShape(QFrame::StyledPanel);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

template <typename Slot>
void menuAction(QMenu* menu, const char* name, const char* caption, const QKeySequence& shortcut,
    QObject* context, Slot slot)
{
    QAction* action = menu->addAction(caption);
    action->setObjectName(name);
    action->setShortcut(shortcut);
    QObject::connect(action, &QAction::triggered, context, slot);
}

// A row of a tab: its caption or button, then what it sets across the other columns.
void addRow(QGridLayout* grid, int& row, QWidget* left, QWidget* right)
{
    grid->addWidget(left, row, 0);
    grid->addWidget(right, row++, 1, 1, 3);
}

// Widgets side by side from the left.
QHBoxLayout* leftAligned(std::initializer_list<QWidget*> widgets)
{
    auto* layout = new QHBoxLayout;
    for (QWidget* widget : widgets)
        layout->addWidget(widget);
    layout->addStretch();
    return layout;
}

QFrame* swatch(const char* name)
{
    auto* frame = named<QFrame>(name);
    frame->setFixedSize(22, 22);
    frame->setFrameShape(QFrame::Box);
    frame->setAutoFillBackground(true);
    return frame;
}

void showColour(QFrame* frame, std::uint32_t colour)
{
    QPalette palette = frame->palette();
    palette.setColor(QPalette::Window,
        QColor(static_cast<int>(colour & 0xFF), static_cast<int>((colour >> 8) & 0xFF),
            static_cast<int>((colour >> 16) & 0xFF)));
    frame->setPalette(palette);
}

void showText(QLabel* label, const std::string& text, const std::string& toolTip)
{
    label->setText(QString::fromStdString(text));
    label->setToolTip(QString::fromStdString(toolTip));
}

void showText(QLineEdit* edit, const std::string& text, const std::string& toolTip)
{
    const QString value = QString::fromStdString(text);
    if (edit->text() != value)
        edit->setText(value);
    edit->setToolTip(QString::fromStdString(toolTip));
}

void showSelection(QListWidget* list, std::optional<std::size_t> selected)
{
    const int row = selected ? static_cast<int>(*selected) : -1;
    if (list->currentRow() != row)
        list->setCurrentRow(row);
}

std::vector<std::string> localFiles(const QMimeData* data)
{
    std::vector<std::string> paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile())
            return {};
        paths.push_back(url.toLocalFile().toStdString());
    }
    return paths;
}

} // namespace

MainWindow::MainWindow(const codegen::AppFolders& folders, Platform& platform, QWidget* parent)
    : QMainWindow(parent)
    , m_platform(platform)
    , m_logic(folders, platform, *this)
    , m_temporaryWave(temporaryWaveFor(folders.scratch))
{
    setObjectName("frmMain");
    setWindowTitle(text::kMainTitle);
    setWindowIcon(appIcon());

    createMenus();

    m_ssTabAudio = named<QTabWidget>("ssTabAudio");
    m_singlePage = createSingleTab();
    m_jukeboxPage = createJukeboxTab();
    m_ssTabAudio->addTab(m_singlePage, "Single Button Control");
    m_ssTabAudio->addTab(m_jukeboxPage, "Multitrack JukeBox");
    for (QWidget* page : { m_singlePage, m_jukeboxPage }) {
        page->setAcceptDrops(true);
        page->installEventFilter(this);
        // Files dropped on a text box go to the tab, not into the text.
        for (QLineEdit* edit : page->findChildren<QLineEdit*>())
            edit->setAcceptDrops(false);
    }

    auto* preview = named<QGroupBox>("fraPreview", "Player Preview");
    m_swfDisplay = named<PreviewWidget>("swfDisplay");
    m_swfDisplay->setFolders(folders.app, folders.scratch);
    auto* previewLayout = new QVBoxLayout(preview);
    previewLayout->addWidget(m_swfDisplay);
    previewLayout->addStretch();

    auto* central = new QWidget;
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(m_ssTabAudio, 1);
    layout->addWidget(preview);
    setCentralWidget(central);
    resize(980, 600);

    connect(m_ssTabAudio, &QTabWidget::currentChanged, this,
        [this](int index) { handle([&] { m_logic.ssTabAudioClick(index); }); });
    sync();
}

void MainWindow::createMenus()
{
    QMenu* mnuGenerate = menuBar()->addMenu("&Code Type");
    mnuGenerate->setObjectName("mnuGenerate");
    auto* group = new QActionGroup(this);
    group->setExclusive(true);
    const char* captions[]
        = { "&Javascript Method 1 (Recommended)", "&Javascript Method 2", "&Flash Embed Code" };
    for (int i = 0; i < 3; ++i) {
        QAction* action = mnuGenerate->addAction(captions[i]);
        action->setObjectName(QString("mnuSelect%1").arg(i));
        action->setCheckable(true);
        group->addAction(action);
        m_mnuSelect[static_cast<std::size_t>(i)] = action;
        connect(action, &QAction::triggered, this,
            [this, i] { handle([&] { m_logic.mnuSelectClick(static_cast<codegen::CodeType>(i)); }); });
    }

    QMenu* mnuAudioTools = menuBar()->addMenu("Audio &Tools");
    mnuAudioTools->setObjectName("mnuAudioTools");
    menuAction(mnuAudioTools, "mnuAudioRecorder", "Quick &Audio Recorder", Qt::Key_F3, this,
        [this] { showRecorder(); });
    menuAction(
        mnuAudioTools, "mnuMp3Optimizer", "&Mp3 Optimizer", Qt::Key_F4, this, [this] { showOptimizer(); });

    QMenu* mnuHelp = menuBar()->addMenu("&Help");
    mnuHelp->setObjectName("mnuHelp");
    menuAction(mnuHelp, "mnuInstructions", "&Instructions", Qt::Key_F1, this,
        [this] { m_logic.mnuInstructionsClick(); });
    menuAction(
        mnuHelp, "mnuSupport", "&Online Support", Qt::Key_F2, this, [this] { m_logic.mnuSupportClick(); });
    mnuHelp->addSeparator();
    menuAction(mnuHelp, "mnuAbout", "&About...", {}, this, [this] { m_logic.mnuAboutClick(); });
    menuAction(mnuHelp, "mnuExit", "E&xit", {}, this, [this] { close(); });
}

QWidget* MainWindow::createSingleTab()
{
    auto* page = named<QWidget>("tabSingle");
    m_lstSingle = named<QListWidget>("lstSingle");
    m_cmdPlayerColorSingle = windowButton(nullptr, "cmdPlayerColorSingle", "&Change Button Color");
    m_shpPlayerColorSingle = swatch("shpPlayerColorSingle");
    m_lblPlayerColorSingle = named<QLabel>("lblPlayerColorSingle");
    auto* cmdSingleLocate = windowButton(nullptr, "cmdSingleLocate", "&Locate Mp3 File");
    m_lblMp3Name = pathLabel("lblMp3Name");
    m_lblMp3Path = pathLabel("lblMp3Path");
    m_lblSingleLocalPath = pathLabel("lblSingleLocalPath");
    m_txtServerPathSingle = named<QLineEdit>("txtServerPathSingle");
    m_cmdSingleOutput = windowButton(nullptr, "cmdSingleOutput", "&Your HTML Folder");
    m_lblSingleOutDir = pathLabel("lblSingleOutDir");
    m_chkSingleLoop = named<QCheckBox>("chkSingleLoop", "Loop Audio Forever");
    m_chkSingleAuto = named<QCheckBox>("chkSingleAuto", "Auto Play On Page Load");
    m_chkEncryptSingle = named<QCheckBox>("chkEncryptSingle", "Encrypt HTML");
    auto* cmdSingleGenerate = windowButton(nullptr, "cmdSingleGenerate", "Generate &Single Button Control");

    auto* grid = new QGridLayout(page);
    int row = 0;
    grid->addWidget(new QLabel("Player:"), row, 0, Qt::AlignTop);
    grid->addWidget(m_lstSingle, row++, 1, 1, 3);
    grid->addWidget(m_cmdPlayerColorSingle, row, 0);
    grid->addWidget(m_shpPlayerColorSingle, row, 1);
    grid->addWidget(m_lblPlayerColorSingle, row++, 2, 1, 2);
    addRow(grid, row, cmdSingleLocate, m_lblMp3Name);
    addRow(grid, row, new QLabel("Mp3 file:"), m_lblMp3Path);
    addRow(grid, row, new QLabel("Mp3 folder:"), m_lblSingleLocalPath);
    addRow(grid, row, new QLabel("Server path:"), m_txtServerPathSingle);
    addRow(grid, row, m_cmdSingleOutput, m_lblSingleOutDir);
    grid->addLayout(leftAligned({ m_chkSingleLoop, m_chkSingleAuto, m_chkEncryptSingle }), row++, 0, 1, 4);
    grid->addWidget(cmdSingleGenerate, row++, 0, 1, 4);
    grid->setColumnStretch(3, 1);

    connect(m_lstSingle, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            handle([&] { m_logic.lstSingleClick(static_cast<std::size_t>(row)); });
    });
    onClick(m_cmdPlayerColorSingle, &MainWindowLogic::cmdPlayerColorSingleClick);
    onClick(cmdSingleLocate, &MainWindowLogic::cmdSingleLocateClick);
    onClick(m_cmdSingleOutput, &MainWindowLogic::cmdSingleOutputClick);
    onClick(cmdSingleGenerate, &MainWindowLogic::cmdSingleGenerateClick);
    connect(m_txtServerPathSingle, &QLineEdit::textEdited, this, [this](const QString& text) {
        handle([&] { m_logic.settings().serverPathSingle = text.toStdString(); });
    });
    onToggle(m_chkSingleLoop, &codegen::GeneratorSettings::singleLoop);
    onToggle(m_chkSingleAuto, &codegen::GeneratorSettings::singleAuto);
    onToggle(m_chkEncryptSingle, &codegen::GeneratorSettings::encryptSingle);
    return page;
}

QWidget* MainWindow::createJukeboxTab()
{
    auto* page = named<QWidget>("tabJukebox");
    m_lstMulti = named<QListWidget>("lstMulti");
    m_cmdPlayerColorMulti = windowButton(nullptr, "cmdPlayerColorMulti", "Change Player Color");
    m_shpPlayerColorMulti = swatch("shpPlayerColorMulti");
    m_lblPlayerColorMulti = named<QLabel>("lblPlayerColorMulti");
    auto* cmdMultiLocate = windowButton(nullptr, "cmdMultiLocate", "&Locate Mp3 Files");
    auto* cmdReArrange = windowButton(nullptr, "cmdReArrange", "&Re-arrange Files");
    m_lstMp3Files = named<QListWidget>("lstMp3Files");
    m_lstMp3FileDisplayNames = named<QListWidget>("lstMp3FileDisplayNames");
    for (QListWidget* list : { m_lstMp3Files, m_lstMp3FileDisplayNames })
        list->setSelectionMode(QAbstractItemView::NoSelection);
    m_lblMultiLocalPath = pathLabel("lblMultiLocalPath");
    m_txtServerPathMultiPlayer = named<QLineEdit>("txtServerPathMultiPlayer");
    m_txtServerPathMultiMp3 = named<QLineEdit>("txtServerPathMultiMp3");
    m_cmdMultiOutput = windowButton(nullptr, "cmdMultiOutput", "&Your HTML Folder");
    m_lblMultiOutDir = pathLabel("lblMultiOutDir");
    m_chkMultiAutoPlay = named<QCheckBox>("chkMultiAutoPlay", "Auto Play");
    m_chkMultiAutoProgress = named<QCheckBox>("chkMultiAutoProgress", "Auto Progress");
    m_chkMultiRandom = named<QCheckBox>("chkMultiRandom", "Random Play");
    m_txtAudioLevel = named<QLineEdit>("txtAudioLevel");
    m_txtAudioLevel->setMaximumWidth(60);
    m_chkPlaylistFontBold = named<QCheckBox>("chkPlaylistFontBold");
    auto* cmdMultiGenerate = windowButton(nullptr, "cmdMultiGenerate", "Generate Multitrack &Jukebox");

    auto* grid = new QGridLayout(page);
    int row = 0;
    grid->addWidget(new QLabel("Player:"), row, 0, Qt::AlignTop);
    grid->addWidget(m_lstMulti, row++, 1, 1, 3);
    grid->addWidget(m_cmdPlayerColorMulti, row, 0);
    grid->addWidget(m_shpPlayerColorMulti, row, 1);
    grid->addWidget(m_lblPlayerColorMulti, row++, 2, 1, 2);
    grid->addLayout(leftAligned({ cmdMultiLocate, cmdReArrange }), row++, 0, 1, 4);
    auto* playlist = new QHBoxLayout;
    playlist->addWidget(m_lstMp3Files);
    playlist->addWidget(m_lstMp3FileDisplayNames);
    grid->addLayout(playlist, row++, 0, 1, 4);
    addRow(grid, row, new QLabel("Mp3 folder:"), m_lblMultiLocalPath);
    addRow(grid, row, new QLabel("Server path of the player:"), m_txtServerPathMultiPlayer);
    addRow(grid, row, new QLabel("Server path of the Mp3 files:"), m_txtServerPathMultiMp3);
    addRow(grid, row, m_cmdMultiOutput, m_lblMultiOutDir);
    grid->addLayout(
        leftAligned({ m_chkMultiAutoPlay, m_chkMultiAutoProgress, m_chkMultiRandom }), row++, 0, 1, 4);
    auto* more = new QHBoxLayout;
    more->addWidget(new QLabel("Initialize Audio at:"));
    more->addWidget(m_txtAudioLevel);
    more->addSpacing(24);
    more->addWidget(new QLabel("Playlist Font Bold:"));
    more->addWidget(m_chkPlaylistFontBold);
    more->addStretch();
    grid->addLayout(more, row++, 0, 1, 4);
    grid->addWidget(cmdMultiGenerate, row++, 0, 1, 4);
    grid->setColumnStretch(3, 1);

    connect(m_lstMulti, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            handle([&] { m_logic.lstMultiClick(static_cast<std::size_t>(row)); });
    });
    onClick(m_cmdPlayerColorMulti, &MainWindowLogic::cmdPlayerColorMultiClick);
    onClick(cmdMultiLocate, &MainWindowLogic::cmdMultiLocateClick);
    onClick(cmdReArrange, &MainWindowLogic::cmdReArrangeClick);
    onClick(m_cmdMultiOutput, &MainWindowLogic::cmdMultiOutputClick);
    onClick(cmdMultiGenerate, &MainWindowLogic::cmdMultiGenerateClick);
    connect(m_txtServerPathMultiPlayer, &QLineEdit::textEdited, this, [this](const QString& text) {
        handle([&] { m_logic.setServerPathMultiPlayer(text.toStdString()); });
    });
    connect(m_txtServerPathMultiMp3, &QLineEdit::textEdited, this, [this](const QString& text) {
        handle([&] { m_logic.settings().serverPathMultiMp3 = text.toStdString(); });
    });
    connect(m_txtAudioLevel, &QLineEdit::textEdited, this,
        [this](const QString& text) { m_logic.settings().audioLevel = text.toStdString(); });
    onToggle(m_chkMultiAutoPlay, &codegen::GeneratorSettings::multiAutoPlay);
    onToggle(m_chkMultiAutoProgress, &codegen::GeneratorSettings::multiAutoProgress);
    onToggle(m_chkMultiRandom, &codegen::GeneratorSettings::multiRandom);
    onToggle(m_chkPlaylistFontBold, &codegen::GeneratorSettings::playlistFontBold);
    return page;
}

void MainWindow::onClick(QPushButton* button, void (MainWindowLogic::*handler)())
{
    connect(button, &QPushButton::clicked, this, [this, handler] { handle([&] { (m_logic.*handler)(); }); });
}

void MainWindow::onToggle(QCheckBox* box, bool codegen::GeneratorSettings::*setting)
{
    connect(box, &QCheckBox::toggled, this, [this, setting](bool on) { m_logic.settings().*setting = on; });
}

StartUpResult MainWindow::startUp(IInstanceLock& lock)
{
    const StartUpResult result = m_logic.startUp(lock);
    sync();
    return result;
}

template <typename Handler> void MainWindow::handle(Handler handler)
{
    if (m_syncing)
        return;
    handler();
    sync();
}

void MainWindow::sync()
{
    m_syncing = true;
    const codegen::GeneratorSettings& settings = m_logic.settings();

    m_mnuSelect[static_cast<std::size_t>(settings.codeType)]->setChecked(true);

    showItems(m_lstSingle, m_logic.singlePlayers());
    showSelection(m_lstSingle, m_logic.selectedSingle());
    m_cmdPlayerColorSingle->setVisible(m_logic.singleColourVisible());
    m_shpPlayerColorSingle->setVisible(m_logic.singleColourVisible());
    showColour(m_shpPlayerColorSingle, m_logic.singleSwatch());
    m_lblPlayerColorSingle->setText(QString::fromStdString(settings.playerColorSingle));
    m_lblMp3Name->setText(QString::fromStdString(settings.mp3Name));
    showText(m_lblMp3Path, settings.mp3Path, mp3PathToolTip(settings.mp3Path));
    showText(m_lblSingleLocalPath, settings.singleLocalPath, followingToolTip(settings.singleLocalPath));
    showText(m_txtServerPathSingle, settings.serverPathSingle, followingToolTip(settings.serverPathSingle));
    showText(m_lblSingleOutDir, settings.singleOutDir, followingToolTip(settings.singleOutDir));
    m_chkSingleLoop->setChecked(settings.singleLoop);
    m_chkSingleAuto->setChecked(settings.singleAuto);
    m_chkEncryptSingle->setChecked(settings.encryptSingle);

    showItems(m_lstMulti, m_logic.multiPlayers());
    showSelection(m_lstMulti, m_logic.selectedMulti());
    m_cmdPlayerColorMulti->setVisible(m_logic.multiColourVisible());
    m_shpPlayerColorMulti->setVisible(m_logic.multiColourVisible());
    showColour(m_shpPlayerColorMulti, m_logic.multiSwatch());
    m_lblPlayerColorMulti->setText(QString::fromStdString(settings.playerColorMulti));
    showItems(m_lstMp3Files, settings.mp3Files);
    showItems(m_lstMp3FileDisplayNames, settings.mp3FileDisplayNames);
    showText(m_lblMultiLocalPath, settings.multiLocalPath, followingToolTip(settings.multiLocalPath));
    showText(m_txtServerPathMultiPlayer, settings.serverPathMultiPlayer,
        followingToolTip(settings.serverPathMultiPlayer));
    showText(
        m_txtServerPathMultiMp3, settings.serverPathMultiMp3, followingToolTip(settings.serverPathMultiMp3));
    showText(m_lblMultiOutDir, settings.multiOutDir, followingToolTip(settings.multiOutDir));
    m_chkMultiAutoPlay->setChecked(settings.multiAutoPlay);
    m_chkMultiAutoProgress->setChecked(settings.multiAutoProgress);
    m_chkMultiRandom->setChecked(settings.multiRandom);
    showText(m_txtAudioLevel, settings.audioLevel, {});
    m_chkPlaylistFontBold->setChecked(settings.playlistFontBold);

    m_swfDisplay->setMovie(m_logic.previewMovie(), m_logic.previewColour());
    // What the previewed player plays: the located MP3 file, or the jukebox's chosen files.
    PreviewAudio audio;
    audio.mp3Path = settings.mp3Path;
    audio.loop = settings.singleLoop;
    audio.folder = settings.multiLocalPath;
    for (std::size_t i = 0; i < settings.mp3Files.size(); ++i)
        audio.tracks.push_back({ settings.mp3Files[i],
            i < settings.mp3FileDisplayNames.size() ? settings.mp3FileDisplayNames[i]
                                                    : settings.mp3Files[i] });
    audio.options = { settings.multiAutoPlay, settings.multiAutoProgress, settings.multiRandom,
        settings.audioLevel, settings.playlistFontBold };
    m_swfDisplay->setAudio(audio);
    m_syncing = false;
}

void MainWindow::showWindow()
{
    show();
}

void MainWindow::showSplash()
{
    SplashWindow splash(this, m_splashInterval);
    splash.exec();
}

void MainWindow::requestClose()
{
    close();
}

void MainWindow::focus(Control control)
{
    (control == Control::SingleOutputButton ? m_cmdSingleOutput : m_cmdMultiOutput)
        ->setFocus(Qt::OtherFocusReason);
}

void MainWindow::showCode(const std::string& code, const std::string& instructions)
{
    sync();
    // The generate buttons sit on their tabs, so the visible tab names the run.
    const codegen::GeneratorSettings& settings = m_logic.settings();
    CodeWindow window(code, instructions, m_logic.folders(), m_platform, this,
        m_logic.tab() > 0 ? settings.multiOutDir : settings.singleOutDir);
    window.exec();
}

std::optional<Playlist> MainWindow::rearrange(const Playlist& playlist)
{
    RearrangeDialog dialog(playlist, m_platform.messageBox, this);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.result();
}

AudioToolServices MainWindow::audioToolServices()
{
    return { m_platform.messageBox, m_platform.fileDialogs, m_launcher, m_clock, m_qtApplication };
}

void MainWindow::showRecorder()
{
    MciInterpreter mci;
    RecorderWindow recorder(audioToolServices(), mci, m_temporaryWave, this);
    recorder.exec();
}

void MainWindow::showOptimizer()
{
    OptimizerWindow optimizer(audioToolServices(), this);
    optimizer.exec();
}

void MainWindow::closeEvent(QCloseEvent* event)
{
    if (m_logic.closeRequested())
        event->accept();
    else
        event->ignore();
}

bool MainWindow::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate)
        handle([&] { m_logic.formActivate(); });
    return QMainWindow::event(event);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event)
{
    const bool single = watched == m_singlePage;
    if (!single && watched != m_jukeboxPage)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        const std::vector<std::string> paths = localFiles(drag->mimeData());
        const bool accepted
            = single ? MainWindowLogic::acceptsSingleDrop(paths) : MainWindowLogic::acceptsJukeboxDrop(paths);
        if (accepted)
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::vector<std::string> paths = localFiles(drop->mimeData());
        drop->acceptProposedAction();
        handle([&] {
            if (single)
                m_logic.dropOnSingleTab(paths);
            else
                m_logic.dropOnJukeboxTab(paths);
        });
        return true;
    }
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

} // namespace tmbr::gui
