// The krv650-sim executable as a child process whose pty is linked into the working directory.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

constexpr int simPort = 5;

// Started with --dir . so that its pty appears as ports/COM5 in the working directory.
struct SimProcess {
    pid_t pid = -1;

    bool start(const std::vector<std::string>& extra) {
        std::vector<std::string> args = {KRV_BINARY_DIR "/krv650-sim", "--port", std::to_string(simPort), "--dir", "."};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (rc != 0) return false;
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        std::string link = "ports/COM" + std::to_string(simPort);
        while (std::chrono::steady_clock::now() < end) {
            if (std::filesystem::is_symlink(link)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return false;
    }
    void stop() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        int status = 0;
        waitpid(pid, &status, 0);
        pid = -1;
    }
    ~SimProcess() { stop(); }
};

