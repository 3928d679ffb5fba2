#include <cstdio>
#include <cstring>

namespace {

const char* const kUsage =
    "Usage: tmbr COMMAND [OPTIONS]\n"
    "\n"
    "Web player code and audio tools of Tambrel Streaming Audio.\n"
    "\n"
    "Commands:\n"
    "  --help     show this help\n";

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs(kUsage, argc < 2 ? stderr : stdout);
        return argc < 2 ? 2 : 0;
    }
    std::fprintf(stderr, "tmbr: unknown command '%s' (see 'tmbr --help')\n", argv[1]);
    return 2;
}
