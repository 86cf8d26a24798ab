#pragma once
// This program started again as a child with the given arguments, its standard input and
// output on pipes: the PostgreSQL benchmarks run each session (and each open) in a process of
// its own, as separate users would.

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

extern char** environ;

namespace benchdb {

class ChildProcess {
public:
    explicit ChildProcess(std::vector<std::string> args) {
        // The running program itself, even should a rebuild have replaced its file meanwhile.
        args.insert(args.begin(), "/proc/self/exe");
        int in[2], out[2];
        if (pipe(in) != 0) return;
        if (pipe(out) != 0) {
            close(in[0]), close(in[1]);
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = posix_spawn(&pid_, args[0].c_str(), &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        toChild_ = fdopen(in[1], "w");
        fromChild_ = fdopen(out[0], "r");
        if (rc != 0) pid_ = 0;
    }
    ~ChildProcess() {
        if (toChild_) fclose(toChild_);
        if (pid_ > 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (fromChild_) fclose(fromChild_);
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return pid_ > 0 && toChild_ && fromChild_; }

    // The child's next line of output, without its end; false at its end.
    bool readLine(std::string& line) {
        line.clear();
        if (!fromChild_) return false;
        for (int c; (c = std::fgetc(fromChild_)) != EOF;) {
            if (c == '\n') return true;
            line.push_back(static_cast<char>(c));
        }
        return !line.empty();
    }
    void writeLine(const std::string& line) {
        if (!toChild_) return;
        std::fputs((line + "\n").c_str(), toChild_);
        std::fflush(toChild_);
    }
    // Waits for the child's end; true when it exited with 0.
    bool succeeded() {
        if (pid_ <= 0) return false;
        int status = 0;
        const bool ended = waitpid(pid_, &status, 0) == pid_;
        pid_ = 0;
        return ended && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }

private:
    pid_t pid_ = 0;
    FILE* toChild_ = nullptr;
    FILE* fromChild_ = nullptr;
};

}  // namespace benchdb
