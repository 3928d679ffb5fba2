// The REGEDIT4 parser on arbitrary text, in both modes. Whatever parses must import, format to
// text that parses again to the same tree, and unimport without harm.

#include "vlscom/regedit.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const auto mode : { vlscom::RegEditMode::Store, vlscom::RegEditMode::Script }) {
        vlscom::RegEditDocument document;
        if (vlscom::parseRegEdit(text, mode, document))
            continue;
        vlscom::RegistryKey root;
        vlscom::importRegEdit(root, document);
        const std::string formatted = vlscom::formatRegEdit(root);
        vlscom::RegEditDocument again;
        if (vlscom::parseRegEdit(formatted, vlscom::RegEditMode::Store, again))
            std::abort();
        vlscom::RegistryKey copy;
        vlscom::importRegEdit(copy, again);
        if (vlscom::formatRegEdit(copy) != formatted)
            std::abort();
        vlscom::unimportRegEdit(root, document);
        vlscom::formatRegEdit(root);
    }
    return 0;
}
