// Where the help document "hilfe.htm" of the installed or freshly built program lies.
#pragma once

#include <string>

namespace tolvane {

// The full path of the help document for a program in `programDir`: "hilfe.htm" beside the
// program (the build tree, or a copy the user keeps there) or else in the data folder the install
// rules put it in (<prefix>/share/tolvane/ for a program in <prefix>/bin/). Empty when neither
// exists, so the caller can say so instead of handing a dead name to the desktop.
std::string FindHelpFile(const std::string& programDir);

}  // namespace tolvane
