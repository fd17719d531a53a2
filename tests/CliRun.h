// Running a command-line program in a test: its exit status and what it wrote
// to standard output and standard error, with standard input from a file.
#pragma once

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <string>
#include <vector>

#include "TempFolder.h"

extern char** environ;

namespace test {

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliResult RunCli(const TempFolder& folder, const std::string& exe, const std::vector<std::string>& args,
                        const std::string& input = "") {
    const std::string in = folder.Write(".stdin", input), out = folder / ".stdout", err = folder / ".stderr";
    posix_spawn_file_actions_t files;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&files, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&files, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    std::vector<char*> argv{const_cast<char*>(exe.c_str())};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    CliResult result;
    pid_t pid = -1;
    if (posix_spawn(&pid, exe.c_str(), &files, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        waitpid(pid, &status, 0);
        result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    posix_spawn_file_actions_destroy(&files);
    result.out = TempFolder::Read(out);
    result.err = TempFolder::Read(err);
    return result;
}

}  // namespace test
