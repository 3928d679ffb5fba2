#include "generators.h"

namespace tmbr::codegen {

std::string savedCodeText(const std::string& code, const std::string& instructions)
{
    return code + "\r\n\r\n\r\n\r\n" + instructions + "\r\n";
}

} // namespace tmbr::codegen
