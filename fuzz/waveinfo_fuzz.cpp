// A wave file's LIST INFO contents on arbitrary bytes: the walk must stay inside the bytes, with
// the input copied to a buffer of exactly its size so that the sanitizer sees any read beyond.

#include "waveinfo.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::vector<std::uint8_t> list(data, data + size);
    (void)vlsdec::tagsFromInfoList(list);
    return 0;
}
