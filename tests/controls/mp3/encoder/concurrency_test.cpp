#include "lamebinding.h"
#include "mp3encoder.h"
#include "mp3testsupport.h"

#include <gtest/gtest.h>
#include <thread>

using namespace vlsmp3;
using mp3test::readBytes;
using mp3test::TempFolder;

namespace {
struct Job {
    int channels;
    int rate;
    int bits;
    OutputMode mode;
    std::int32_t value; // bit rate, or quality in hundredths
    std::u16string title;
};

void runJob(const Job& job, const std::string& path)
{
    Mp3Encoder encoder(LameBinding::bound());
    encoder.setInputFormat(job.channels, job.rate, job.bits);
    if (job.mode == OutputMode::CBR)
        encoder.setOutputFormatCbr(job.value);
    else if (job.mode == OutputMode::ABR)
        encoder.setOutputFormatAbr(job.value);
    else
        encoder.setOutputFormatVbr(static_cast<float>(job.value) / 100.0F);
    encoder.tags().title = job.title;
    encoder.setAddExtension(false);
    encoder.open(path, {});
    const auto pcm = mp3test::tone(
        330.0 + job.rate / 100.0, job.rate, job.channels, job.bits, static_cast<std::size_t>(job.rate) * 2);
    for (std::size_t at = 0; at < pcm.size(); at += 3000)
        encoder.write(pcm.data() + at, std::min<std::size_t>(3000, pcm.size() - at));
    encoder.close();
}
} // namespace

// Four encoders on four threads write the same files as the same jobs run one after another.
TEST(Concurrency, FourEncodersMatchSequentialRuns)
{
    TempFolder folder;
    const std::vector<Job> jobs { { 2, 44100, 16, OutputMode::VBR, 50, u"one" },
        { 1, 22050, 8, OutputMode::ABR, 192000, u"two" }, { 2, 48000, 16, OutputMode::CBR, 128000, u"three" },
        { 1, 32000, 16, OutputMode::VBR, 0, u"four" } };
    for (std::size_t i = 0; i < jobs.size(); ++i)
        runJob(jobs[i], folder.file("seq" + std::to_string(i) + ".mp3"));
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < jobs.size(); ++i)
        threads.emplace_back([&, i] { runJob(jobs[i], folder.file("par" + std::to_string(i) + ".mp3")); });
    for (std::thread& thread : threads)
        thread.join();
    for (std::size_t i = 0; i < jobs.size(); ++i) {
        const auto sequential = readBytes(folder.file("seq" + std::to_string(i) + ".mp3"));
        EXPECT_GT(sequential.size(), 10000U);
        EXPECT_EQ(readBytes(folder.file("par" + std::to_string(i) + ".mp3")), sequential) << "job " << i;
    }
}
