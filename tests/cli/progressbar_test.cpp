#include "progressbar.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

using tmbr::cli::ProgressBar;

namespace {

// A pseudo-terminal: the bar writes to the terminal side, the test reads the other side.
struct PseudoTerminal {
    int master = -1;
    std::FILE* terminal = nullptr;

    PseudoTerminal()
    {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0)
            return;
        const int slave = open(ptsname(master), O_RDWR | O_NOCTTY);
        if (slave >= 0)
            terminal = fdopen(slave, "w");
        fcntl(master, F_SETFL, O_NONBLOCK);
    }
    ~PseudoTerminal()
    {
        if (terminal)
            std::fclose(terminal);
        if (master >= 0)
            close(master);
    }
    std::string drain() const
    {
        std::string text;
        char buffer[4096];
        for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(n));
        return text;
    }
};

} // namespace

TEST(ProgressBar, DrawsOnATerminalOnlyWhenTheWholePercentageChanges)
{
    PseudoTerminal pty;
    ASSERT_NE(pty.terminal, nullptr);
    {
        ProgressBar bar(pty.terminal);
        bar.update(0);
        bar.update(0.4);
        bar.update(50);
        bar.update(50.9);
        bar.update(140);
    }
    const std::string shown = pty.drain();
    // The terminal turns "\n" into "\r\n".
    EXPECT_EQ(shown,
        "\r[                              ]   0%"
        "\r[###############               ]  50%"
        "\r[##############################] 100%\r\n");
}

TEST(ProgressBar, WritesNothingWhenTheStreamIsNotATerminal)
{
    std::FILE* file = std::tmpfile();
    ASSERT_NE(file, nullptr);
    {
        ProgressBar bar(file);
        bar.update(10);
        bar.update(100);
    }
    EXPECT_EQ(std::ftell(file), 0);
    std::fclose(file);
}
