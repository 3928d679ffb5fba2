#include "generatorarguments.h"

#include "codegen/appfolders.h"
#include "command.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace tmbr::cli {

namespace {

std::string executablePath()
{
    std::string buffer(4096, '\0');
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size())
        return "tmbr";
    buffer.resize(static_cast<std::size_t>(length));
    return buffer;
}

bool writeAll(std::FILE* stream, const std::string& text)
{
    return std::fwrite(text.data(), 1, text.size(), stream) == text.size() && std::fflush(stream) == 0;
}

} // namespace

codegen::AppFolders applicationFolders()
{
    return codegen::locateAppFolders(executablePath());
}

OptionDeclaration codeTypeOption()
{
    return value("--code-type TYPE",
        "js1 (SWFObject script, default), js2 (document.write script)\n"
        "or embed (plain object/embed markup)");
}

codegen::CodeType parseCodeType(const Options& options, const std::string& text)
{
    if (text == "js1")
        return codegen::CodeType::JavaScriptMethod1;
    if (text == "js2")
        return codegen::CodeType::JavaScriptMethod2;
    if (text == "embed")
        return codegen::CodeType::FlashEmbedCode;
    throw options.error("--code-type must be js1, js2 or embed, not '" + text + "'");
}

std::string parseColour(const Options& options, const std::string& text)
{
    bool valid = text.size() == 8 && text.compare(0, 2, "0x") == 0;
    for (std::size_t i = 2; valid && i < text.size(); ++i)
        valid = std::isxdigit(static_cast<unsigned char>(text[i])) != 0;
    if (!valid)
        throw options.error("--colour must be 0x followed by six hex digits RRGGBB, not '" + text + "'");
    std::string colour = "0x";
    for (std::size_t i = 2; i < text.size(); ++i)
        colour += static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    return colour;
}

std::string absolutePath(const std::string& path)
{
    return std::filesystem::absolute(std::filesystem::path(path)).lexically_normal().string();
}

void requirePlayer(const Options& options, const std::string& templateFolder, const std::string& name)
{
    const std::vector<std::string> players = codegen::listPlayers(templateFolder);
    for (const std::string& player : players) {
        if (player == name)
            return;
    }
    std::string known;
    for (const std::string& player : players)
        known += (known.empty() ? "" : ", ") + player;
    throw options.error("unknown player '" + name + "' (players in " + templateFolder + ": "
        + (known.empty() ? "none" : known) + ")");
}

int reportGeneration(const codegen::GenerationResult& result)
{
    switch (result.status) {
    case codegen::GenerationStatus::Generated:
        if (writeAll(stdout, codegen::savedCodeText(result.code, result.instructions)))
            return kExitSuccess;
        writeAll(stderr, "tmbr: cannot write the code to standard output\n");
        return kExitFailure;
    case codegen::GenerationStatus::Invalid:
        writeAll(stderr, result.message + "\n");
        return kExitUsage;
    case codegen::GenerationStatus::Failed:
        break;
    }
    writeAll(stderr, result.message + "\n");
    return kExitFailure;
}

} // namespace tmbr::cli
