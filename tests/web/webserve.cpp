// Runs the loopback test page server for the browser tests:
//
//   tmbr_webserve SCRATCH_FOLDER [OUTPUT_FOLDER]
//
// prints the server's base address on one line, then serves until standard
// input reaches its end or the process is terminated.
#include "platform/loopbackserver.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: tmbr_webserve SCRATCH_FOLDER [OUTPUT_FOLDER]\n");
        return 2;
    }
    tmbr::gui::LoopbackServer server;
    const std::string base = server.serve(argv[1], argc == 3 ? argv[2] : "");
    if (base.empty()) {
        std::fprintf(stderr, "tmbr_webserve: no loopback port could be bound\n");
        return 1;
    }
    std::printf("%s\n", base.c_str());
    std::fflush(stdout);

    QSocketNotifier input(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&input, &QSocketNotifier::activated, &application, [&] {
        char buffer[256];
        if (::read(STDIN_FILENO, buffer, sizeof buffer) <= 0)
            QCoreApplication::quit();
    });
    return QCoreApplication::exec();
}
