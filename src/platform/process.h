#pragma once
// Starting another program.

#include <string>

namespace platform {

// Starts program (a path) in folder, on its own and not waited for: in a
// session of its own, with no signal blocked and every signal at its default
// action, whatever this program blocks or ignores for itself (it blocks the
// exit signals for the thread that closes its ports, and ignores SIGXFSZ).
// False when no process could be made; a program that cannot be run simply
// ends at once.
bool StartDetached(const std::string& program, const std::string& folder);

}  // namespace platform
