#pragma once

// Runs the real tmbr binary with a controlled environment and captures its
// standard output, standard error and exit code.

#include "../core/codegen/testfolders.h"

#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace tmbr::testing {

struct TmbrRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// Runs TMBR_EXE with `args` in `workingFolder`, with the given environment
// variables set (an empty value unsets the variable). Output goes through
// files in `scratch`, so large outputs cannot block the child.
inline TmbrRun runTmbr(const std::vector<std::string>& args,
    const std::vector<std::pair<std::string, std::string>>& environment, const std::string& workingFolder,
    const std::string& scratch)
{
    const std::string outPath = scratch + "stdout.txt";
    const std::string errPath = scratch + "stderr.txt";
    const pid_t child = ::fork();
    if (child == 0) {
        const int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (out < 0 || err < 0 || ::dup2(out, 1) < 0 || ::dup2(err, 2) < 0
            || ::chdir(workingFolder.c_str()) != 0)
            ::_exit(127);
        for (const auto& [name, value] : environment) {
            if (value.empty())
                ::unsetenv(name.c_str());
            else
                ::setenv(name.c_str(), value.c_str(), 1);
        }
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(TMBR_EXE));
        for (const std::string& arg : args)
            argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(TMBR_EXE, argv.data());
        ::_exit(127);
    }
    TmbrRun run;
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    run.out = readBytes(outPath);
    run.err = readBytes(errPath);
    return run;
}

} // namespace tmbr::testing
