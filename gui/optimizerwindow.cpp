#include "optimizerwindow.h"

#include "audiotooltexts.h"
#include "itemviews.h"
#include "progressmeter.h"
#include "windowbutton.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

namespace tmbr::gui {

namespace {

QLabel* pathLabel(QWidget* parent, const char* name)
{
    auto* label = named<QLabel>(name, parent);
    label->setMinimumWidth(360);
    label->setFrameShape(QFrame::StyledPanel);
    return label;
}

QRadioButton* option(QWidget* parent, const char* name, const char* caption, const char* toolTip)
{
    auto* result = named<QRadioButton>(name, caption, parent);
    result->setToolTip(toolTip);
    return result;
}

} // namespace

OptimizerWindow::OptimizerWindow(AudioToolServices services, QWidget* parent, IOptimizerRunner* runner)
    : QDialog(parent)
    , m_logic({ services.messageBox, services.fileDialogs, m_cursor, services.application,
          runner ? *runner : m_ownRunner })
{
    setObjectName("frmMp3Opti");
    setWindowTitle(text::kOptimizerCaption);
    setModal(true);
    m_cursor.setWindow(this);

    auto* input = new QGroupBox(text::kGroupInput, this);
    auto* cmdInput = windowButton(input, "cmdInput", text::kInputCaption, text::kInputTip);
    m_lblInputSource = pathLabel(input, "lblInputSource");
    auto* inputLayout = new QHBoxLayout(input);
    inputLayout->addWidget(cmdInput);
    inputLayout->addWidget(m_lblInputSource, 1);

    auto* output = new QGroupBox(text::kGroupOutput, this);
    auto* cmdOutput = windowButton(output, "cmdOutput", text::kOutputCaption, text::kOutputTip);
    m_lblOutputDestination = pathLabel(output, "lblOutputDestination");
    auto* outputLayout = new QHBoxLayout(output);
    outputLayout->addWidget(cmdOutput);
    outputLayout->addWidget(m_lblOutputDestination, 1);

    auto* settings = new QGroupBox(text::kGroupSettings, this);
    m_cmbMp3Quality = named<QComboBox>("cmbMp3Quality", settings);
    m_cmbMp3Quality->setToolTip(text::kOptimizerQualityTip);
    m_optRe44 = option(settings, "optRe44", text::kOpt44Caption, text::kResampleTip);
    m_optRe22 = option(settings, "optRe22", text::kOpt22Caption, text::kResampleTip);
    m_optRe11 = option(settings, "optRe11", text::kOpt11Caption, text::kResampleTip);
    m_chkConvertMono = named<QCheckBox>("chkConvertMono", settings);
    m_chkConvertMono->setToolTip(text::kConvertMonoTip);
    auto* settingsLayout = new QGridLayout(settings);
    auto* qualityLabel = new QLabel(text::kOptimizerQualityLabel, settings);
    qualityLabel->setToolTip(text::kOptimizerQualityTip);
    settingsLayout->addWidget(qualityLabel, 0, 0);
    settingsLayout->addWidget(m_cmbMp3Quality, 0, 1, 1, 3);
    auto* resampleLabel = new QLabel(text::kResampleLabel, settings);
    resampleLabel->setToolTip(text::kResampleTip);
    settingsLayout->addWidget(resampleLabel, 1, 0);
    settingsLayout->addWidget(m_optRe44, 1, 1);
    settingsLayout->addWidget(m_optRe22, 1, 2);
    settingsLayout->addWidget(m_optRe11, 1, 3);
    auto* monoLabel = new QLabel(text::kConvertMonoLabel, settings);
    monoLabel->setToolTip(text::kConvertMonoTip);
    settingsLayout->addWidget(monoLabel, 2, 0);
    settingsLayout->addWidget(m_chkConvertMono, 2, 1);

    m_cmdConvert = windowButton(this, "cmdConvert", text::kConvertCaption, text::kConvertTip);
    m_picStatus = named<ProgressMeter>("picStatus", this);
    auto* cmdClose = windowButton(this, "cmdClose", text::kCloseCaption, text::kCloseTip);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(input);
    layout->addWidget(output);
    layout->addWidget(settings);
    layout->addWidget(m_cmdConvert);
    layout->addWidget(m_picStatus);
    layout->addWidget(cmdClose, 0, Qt::AlignRight);

    connect(cmdInput, &QPushButton::clicked, this, [this] { handle([&] { m_logic.cmdInputClick(); }); });
    connect(cmdOutput, &QPushButton::clicked, this, [this] { handle([&] { m_logic.cmdOutputClick(); }); });
    connect(
        m_cmdConvert, &QPushButton::clicked, this, [this] { handle([&] { m_logic.cmdConvertClick(); }); });
    const std::pair<QRadioButton*, SampleRateOption> options[] = { { m_optRe44, SampleRateOption::Hz44100 },
        { m_optRe22, SampleRateOption::Hz22050 }, { m_optRe11, SampleRateOption::Hz11025 } };
    for (const auto& [radio, rate] : options) {
        connect(radio, &QRadioButton::clicked, this,
            [this, rate = rate] { handle([&] { m_logic.optReClick(rate); }); });
    }
    connect(m_cmbMp3Quality, &QComboBox::activated, this,
        [this](int index) { handle([&] { m_logic.cmbMp3QualityClick(index); }); });
    connect(m_chkConvertMono, &QCheckBox::clicked, this,
        [this](bool checked) { handle([&] { m_logic.chkConvertMonoClick(checked); }); });
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::accept);

    m_logic.load();
    sync();
}

OptimizerWindow::~OptimizerWindow()
{
    m_closing = true;
}

void OptimizerWindow::Listener::started()
{
    m_window.handle([&] { m_window.m_logic.started(); });
}

void OptimizerWindow::Listener::progress(int percent)
{
    m_window.handle([&] { m_window.m_logic.progress(percent); });
}

void OptimizerWindow::Listener::finished(audiotools::OptimizerRoute route)
{
    m_window.handle([&] { m_window.m_logic.finished(route); });
}

void OptimizerWindow::Listener::failed(const std::string& errorText)
{
    m_window.handle([&] { m_window.m_logic.failed(errorText); });
}

template <typename Handler> void OptimizerWindow::handle(Handler handler)
{
    if (m_closing)
        return;
    handler();
    sync();
}

void OptimizerWindow::sync()
{
    m_refresh.run([this] { syncOnce(); });
}

void OptimizerWindow::syncOnce()
{
    const OptimizerState& state = m_logic.state();
    {
        const QSignalBlocker blocker(m_cmbMp3Quality);
        showItems(m_cmbMp3Quality, state.cmbMp3Quality);
        m_cmbMp3Quality->setCurrentIndex(state.cmbMp3QualityIndex);
    }
    m_optRe44->setChecked(state.sampleRateOption == SampleRateOption::Hz44100);
    m_optRe22->setChecked(state.sampleRateOption == SampleRateOption::Hz22050);
    m_optRe11->setChecked(state.sampleRateOption == SampleRateOption::Hz11025);
    m_chkConvertMono->setChecked(state.chkConvertMono);
    m_lblInputSource->setText(QString::fromStdString(state.lblInputSource));
    m_lblInputSource->setToolTip(QString::fromStdString(state.lblInputSourceTip));
    m_lblOutputDestination->setText(QString::fromStdString(state.lblOutputDestination));
    m_lblOutputDestination->setToolTip(QString::fromStdString(state.lblOutputDestinationTip));
    m_cmdConvert->setEnabled(state.cmdConvertEnabled);
    m_picStatus->setVisible(state.picStatusVisible);
    if (m_picStatus->percent() != state.progress)
        m_picStatus->DrawProgress(state.progress);
}

} // namespace tmbr::gui
