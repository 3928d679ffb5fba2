#pragma once

#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

// The bytes of a golden text under tests/data/codegen/.
inline std::string readGolden(const std::string& name)
{
    const std::string path = std::string(TMBR_TEST_DATA_DIR) + "/codegen/" + name;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("missing golden file " + path);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}
