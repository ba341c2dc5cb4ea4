#include "tests/support/RunTool.h"

#include <sys/wait.h>

#include <cstdlib>

namespace halcyra::testing {

int RunTool(const TempFolder& folder, const std::vector<std::string>& arguments) {
  std::string command = std::string("cd / && '") + HALCYRA_TOOL_PATH + "'";
  for (const std::string& argument : arguments) command += " '" + argument + "'";
  command += " >'" + folder.File("stdout.txt") + "' 2>'" + folder.File("stderr.txt") + "'";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace halcyra::testing
