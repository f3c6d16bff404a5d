#pragma once

#include <string>
#include <system_error>

namespace kelvarin {

// The reason a file could not be read or written, as the runner prints it
// (`error: PATH: REASON`): the same words on every platform, whatever its C
// library calls the error, so that a failing run prints the same everywhere.
// Errors outside the runner's table fall back to the C library's text.
std::string ErrorText(int errnum);
// The same for an error code of the generic category (errno values); any
// other kind of code gives its own message.
std::string ErrorText(const std::error_code& error);

}  // namespace kelvarin
