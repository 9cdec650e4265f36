// Writing a whole buffer to a file descriptor, for the console and the skill files.
#pragma once

#include <string_view>

// Writes all of Bytes, going on after short writes and interruptions. Gives 0
// on success, else the host's error number (EIO when a write makes no progress).
int WriteAll(int Fd, std::string_view Bytes);
