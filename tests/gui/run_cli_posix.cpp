// tolvane-cli for the wizards' tests, on POSIX systems.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include "tests/gui/wizard_test_support.h"

extern char** environ;

namespace tolvane::ui::test {

int RunCli(const std::vector<std::string>& args) {
    std::vector<std::string> all = {TOLVANE_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    // Its report is not needed; its errors go where the test's go.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int started =
        posix_spawn(&pid, TOLVANE_CLI_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (started != 0) return -1;
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
    return WEXITSTATUS(status);
}

}  // namespace tolvane::ui::test
