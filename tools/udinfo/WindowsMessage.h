// The system's own text for a Windows status code.
#pragma once

#include <string>

namespace udinfo {

// "The system cannot find the file specified", without a closing full stop;
// "unknown status" when the system has none.
std::string WindowsMessage(unsigned int status);

}  // namespace udinfo
