// Runs the built halcyra-tool from a test.
#pragma once

#include <string>
#include <vector>

#include "tests/support/TempFolder.h"

namespace halcyra::testing {

// Runs halcyra-tool with the arguments (each quoted for the shell) and returns its exit code;
// its output goes to "stdout.txt" and "stderr.txt" in the folder so that failures can be shown.
// The shell starts from "/" so that a working folder some earlier test removed does not matter.
int RunTool(const TempFolder& folder, const std::vector<std::string>& arguments);

}  // namespace halcyra::testing
