// The built program run headless on a copy of the data tree, with an input
// script of keys, as the end-to-end tests run it; for test programs built
// with ZENTROVA_EXE.
#pragma once
#include <sys/wait.h>

#include <cstdlib>
#include <string>

namespace ztest {

// Runs `-S:script` on drive C: `tree`, the user's files in `config`, the
// keys of `keys` and standard error into `err`; killed after `seconds`
// when not 0. The exit code, or -1 when it did not exit by itself.
inline int RunWithKeys(const std::string& tree, const std::string& config, const std::string& keys,
                       const std::string& script, const std::string& err, int seconds = 0) {
  const std::string limit = seconds ? "timeout " + std::to_string(seconds) + " " : "";
  const std::string command = "ZENTROVA_HEADLESS=1 ZENTROVA_DRIVES='C=fixed:" + tree + "' ZENTROVA_CONFIG_DIR='" +
                              config + "' ZENTROVA_INPUT_SCRIPT='" + keys + "' " + limit + "'" ZENTROVA_EXE
                              "' -S:" + script + " 2>'" + err + "'";
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace ztest
