#include "recorderwindow.h"

#include "audiotooltexts.h"
#include "itemviews.h"
#include "progressmeter.h"
#include "windowbutton.h"

#include <QComboBox>
#include <QFont>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tmbr::gui {

namespace {

QLabel* readout(QWidget* parent, const char* name, const char* text, const char* toolTip)
{
    auto* label = named<QLabel>(name, text, parent);
    label->setToolTip(toolTip);
    QFont font("Digital Readout Upright");
    font.setStyleHint(QFont::Monospace);
    font.setPointSize(16);
    label->setFont(font);
    return label;
}

} // namespace

RecorderWindow::RecorderWindow(
    AudioToolServices services, IMci& mci, const std::string& temporaryWave, QWidget* parent)
    : QDialog(parent)
    , m_timer1(10, [this] { handle([&] { m_logic.timer1Tick(); }); })
    , m_readoutTimer(100, [this] { handle([&] { m_logic.readoutTick(); }); })
    , m_encoder({
          [this](const std::string& message) { handle([&] { m_logic.OnError(message); }); },
          [this] { handle([&] { m_logic.OnWaveEncodeStart(); }); },
          [this](int percent) { handle([&] { m_logic.OnWaveEncodeProgress(percent); }); },
          [this] { handle([&] { m_logic.OnWaveEncodeFinish(); }); },
      })
    , m_logic({ mci, services.messageBox, services.fileDialogs, m_cursor, services.launcher, services.clock,
          services.application, m_timer1, m_readoutTimer, m_encoder, temporaryWave })
{
    setObjectName("frmQuickAudioRecorder");
    setWindowTitle(text::kRecorderCaption);
    setModal(true);
    m_cursor.setWindow(this);

    auto* source = new QGroupBox(text::kGroupRecordingSource, this);
    auto* cmdRecorderControl = windowButton(
        source, "cmdRecorderControl", text::kRecorderControlCaption, text::kRecorderControlTip);
    (new QVBoxLayout(source))->addWidget(cmdRecorderControl);

    auto* settings = new QGroupBox(text::kGroupSettings, this);
    m_opt44 = named<QRadioButton>("opt44", text::kOpt44Caption, settings);
    m_opt22 = named<QRadioButton>("opt22", text::kOpt22Caption, settings);
    m_opt11 = named<QRadioButton>("opt11", text::kOpt11Caption, settings);
    m_cmbChannels = named<QComboBox>("cmbChannels", settings);
    m_cmbChannels->addItems({ text::kStereo, text::kMono });
    auto* settingsLayout = new QGridLayout(settings);
    settingsLayout->addWidget(new QLabel(text::kSampleRateLabel, settings), 0, 0);
    settingsLayout->addWidget(m_opt44, 0, 1);
    settingsLayout->addWidget(m_opt22, 0, 2);
    settingsLayout->addWidget(m_opt11, 0, 3);
    settingsLayout->addWidget(new QLabel(text::kChannelTypeLabel, settings), 1, 0);
    settingsLayout->addWidget(m_cmbChannels, 1, 1, 1, 3);

    auto* controls = new QGroupBox(text::kGroupControls, this);
    auto* cmdRecord = windowButton(controls, "cmdRecord", text::kRecordCaption, text::kRecordTip);
    m_cmdStop = windowButton(controls, "cmdStop", text::kStopCaption, text::kStopTip);
    m_cmdPlay = windowButton(controls, "cmdPlay", text::kPlayCaption, text::kPlayTip);
    m_lblTime = readout(controls, "lblTime", text::kTimeIdle, text::kTimeTip);
    m_lblRec = readout(controls, "lblRec", text::kRecIdle, text::kRecTip);
    m_prgInputLevel = named<QProgressBar>("prgInputLevel", controls);
    m_prgInputLevel->setToolTip(text::kLevelTip);
    m_prgInputLevel->setRange(0, 100);
    m_prgInputLevel->setOrientation(Qt::Vertical);
    m_prgInputLevel->setTextVisible(false);
    m_prgInputLevel->setFixedSize(12, 36);
    auto* controlsLayout = new QHBoxLayout(controls);
    controlsLayout->addWidget(cmdRecord);
    controlsLayout->addWidget(m_cmdStop);
    controlsLayout->addWidget(m_cmdPlay);
    controlsLayout->addStretch();
    controlsLayout->addWidget(m_lblTime);
    controlsLayout->addWidget(m_lblRec);
    controlsLayout->addWidget(m_prgInputLevel);

    auto* output = new QGroupBox(text::kGroupOutput, this);
    m_cmbOutputFormat = named<QComboBox>("cmbOutputFormat", output);
    m_cmbQuality = named<QComboBox>("cmbQuality", output);
    m_cmdSave = windowButton(output, "cmdSave", text::kSaveCaption, text::kSaveTip);
    m_picStatus = named<ProgressMeter>("picStatus", output);
    m_lblInputFile = named<QLabel>("lblInputFile", output);
    m_lblInputFile->setVisible(false);
    m_lblOutputFile = named<QLabel>("lblOutputFile", output);
    m_lblOutputFile->setVisible(false);
    auto* outputLayout = new QGridLayout(output);
    outputLayout->addWidget(new QLabel(text::kOutputFormatLabel, output), 0, 0);
    outputLayout->addWidget(m_cmbOutputFormat, 0, 1);
    outputLayout->addWidget(new QLabel(text::kRecorderQualityLabel, output), 1, 0);
    outputLayout->addWidget(m_cmbQuality, 1, 1);
    outputLayout->addWidget(m_cmdSave, 2, 0, 1, 2);
    outputLayout->addWidget(m_picStatus, 3, 0, 1, 2);

    auto* cmdClose = windowButton(this, "cmdClose", text::kCloseCaption, text::kCloseTip);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(source);
    layout->addWidget(settings);
    layout->addWidget(controls);
    layout->addWidget(output);
    layout->addWidget(cmdClose, 0, Qt::AlignRight);

    connect(cmdRecorderControl, &QPushButton::clicked, this,
        [this] { handle([&] { m_logic.cmdRecorderControlClick(); }); });
    const std::pair<QRadioButton*, SampleRateOption> options[] = { { m_opt44, SampleRateOption::Hz44100 },
        { m_opt22, SampleRateOption::Hz22050 }, { m_opt11, SampleRateOption::Hz11025 } };
    for (const auto& [radio, rate] : options) {
        connect(radio, &QRadioButton::clicked, this,
            [this, rate = rate] { handle([&] { m_logic.optClick(rate); }); });
    }
    connect(m_cmbChannels, &QComboBox::textActivated, this,
        [this](const QString& text) { handle([&] { m_logic.cmbChannelsClick(text.toStdString()); }); });
    connect(m_cmbOutputFormat, &QComboBox::textActivated, this,
        [this](const QString& text) { handle([&] { m_logic.cmbOutputFormatClick(text.toStdString()); }); });
    connect(m_cmbQuality, &QComboBox::activated, this,
        [this](int index) { handle([&] { m_logic.cmbQualityClick(index); }); });
    connect(cmdRecord, &QPushButton::clicked, this, [this] { handle([&] { m_logic.cmdRecordClick(); }); });
    connect(m_cmdStop, &QPushButton::clicked, this, [this] { handle([&] { m_logic.cmdStopClick(); }); });
    connect(m_cmdPlay, &QPushButton::clicked, this, [this] { handle([&] { m_logic.cmdPlayClick(); }); });
    connect(m_cmdSave, &QPushButton::clicked, this, [this] { handle([&] { m_logic.cmdSaveClick(); }); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    m_logic.load();
    sync();
}

RecorderWindow::~RecorderWindow()
{
    unload();
}

void RecorderWindow::unload()
{
    if (m_unloaded)
        return;
    m_unloaded = true;
    m_logic.unload();
}

void RecorderWindow::done(int result)
{
    unload();
    QDialog::done(result);
}

template <typename Handler> void RecorderWindow::handle(Handler handler)
{
    if (m_unloaded)
        return;
    handler();
    sync();
}

void RecorderWindow::sync()
{
    m_refresh.run([this] { syncOnce(); });
}

void RecorderWindow::syncOnce()
{
    const RecorderState& state = m_logic.state();
    {
        const QSignalBlocker b1(m_cmbQuality);
        const QSignalBlocker b2(m_cmbChannels);
        const QSignalBlocker b3(m_cmbOutputFormat);
        m_opt44->setChecked(state.sampleRateOption == SampleRateOption::Hz44100);
        m_opt22->setChecked(state.sampleRateOption == SampleRateOption::Hz22050);
        m_opt11->setChecked(state.sampleRateOption == SampleRateOption::Hz11025);
        showItems(m_cmbQuality, state.cmbQuality);
        m_cmbQuality->setCurrentIndex(state.cmbQualityIndex);
        m_cmbQuality->setEnabled(state.cmbQualityEnabled);
        m_cmbChannels->setCurrentText(QString::fromStdString(state.cmbChannels));
        showItems(m_cmbOutputFormat, state.cmbOutputFormatItems);
        m_cmbOutputFormat->setCurrentText(QString::fromStdString(state.cmbOutputFormat));
    }
    m_cmdStop->setEnabled(state.cmdStopEnabled);
    m_cmdPlay->setEnabled(state.cmdPlayEnabled);
    m_cmdSave->setEnabled(state.cmdSaveEnabled);
    m_lblTime->setText(QString::fromStdString(state.lblTime));
    m_lblRec->setText(QString::fromStdString(state.lblRec));
    m_prgInputLevel->setValue(state.inputLevel);
    m_lblInputFile->setText(QString::fromStdString(state.lblInputFile));
    m_lblOutputFile->setText(QString::fromStdString(state.lblOutputFile));
    m_picStatus->setVisible(state.picStatusVisible);
    if (m_picStatus->percent() != state.progress)
        m_picStatus->DrawProgress(state.progress);
}

} // namespace tmbr::gui
