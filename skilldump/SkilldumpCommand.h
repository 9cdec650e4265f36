// The skilldump command: its arguments, the two files it reads, what it prints
// and its exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

enum TSkilldumpExit {
    ExitSuccess = 0,     // done; with --check: the files are sound
    ExitFaults = 1,      // the files are not sound, or could not be shown whole
    ExitUsageOrFile = 2, // a usage error, a file that cannot be read, or no room for the output
};

// Runs skilldump with Args, the arguments after the program's name: data goes
// to Out, messages to Err. Gives the exit status.
int RunSkilldump(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err);

// The help text of --help, ending with a line feed.
extern const char* const SkilldumpHelp;
