#pragma once
// A private JACK server with the dummy back-end, started and ended by one test under a name of its
// own, so that no test touches the user's server or another test's.
//
// Two things of the JACK 1 server (jackd1 0.126) are taken care of here:
// - A server started with a name of its own crashes when any client unregisters a port, unless
//   the metadata folder of the default server exists (/dev/shm/jack-UID/default); it is made
//   before the start.
// - The machine's table of running servers has eight places. A server that is killed (or
//   crashes) keeps its place until a server of the same name starts again; after a kill the
//   server is started once more under its name and stopped properly, so the place is given back.
//   Places that a test process left behind when it died are given back at the next start, and
//   a table that no process holds any more (every server in it gone, under whatever names and
//   from whichever file system) is dropped, so the next server makes it anew.

#include <fcntl.h>
#include <spawn.h>
#include <sys/shm.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

#include "JackProbe.h"

extern char** environ;

namespace quorvane::testing {

class JackServer {
  public:
    static constexpr const char* kDefaultPrefix = "quorvane-test";
    // Named "<prefix>-<this process's id>".
    explicit JackServer(const std::string& prefix = kDefaultPrefix, int rate = 48000,
                        int period = 256)
        : prefix_(prefix),
          name_(prefix + "-" + std::to_string(::getpid())),
          rate_(rate),
          period_(period) {}
    ~JackServer() {
        if (Running()) {
            Terminate();
        }
        // Killed or crashed: its place in the table is given back.
        if (placeTaken_ && Spawn()) {
            Terminate();
        }
        if (!log_.empty()) {
            ::unlink(log_.c_str());
        }
    }
    JackServer(const JackServer&) = delete;
    JackServer& operator=(const JackServer&) = delete;

    const std::string& Name() const { return name_; }

    // Starts the server and waits until it takes clients; false when jackd is not installed or
    // does not come up (Log() tells why).
    bool Start() {
        const std::string base = "/dev/shm/jack-" + std::to_string(::getuid());
        ::mkdir(base.c_str(), 0700);
        ::mkdir((base + "/default").c_str(), 0700);
        DropOrphanedTable();
        GiveBackLeftPlaces(base);
        return Spawn();
    }

    bool Running() {
        if (pid_ <= 0) {
            return false;
        }
        int status = 0;
        if (::waitpid(pid_, &status, WNOHANG) == pid_) {
            pid_ = -1;
            return false;
        }
        return true;
    }

    // The server dies at once, as with `kill -9`.
    void Kill() { Stop(SIGKILL); }
    // The server shuts down properly, tells its clients and gives its place back.
    void Terminate() {
        if (Stop(SIGTERM)) {
            placeTaken_ = false;
        }
    }

    std::string Log() const {
        std::ifstream in(log_);
        std::stringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // Makes this process's JACK clients use this server and never start one.
    void UseFromThisProcess() const {
        ::setenv("JACK_DEFAULT_SERVER", name_.c_str(), 1);
        ::setenv("JACK_NO_START_SERVER", "1", 1);
    }

  private:
    // The key of jackd1's table of servers, a System V shared memory segment.
    static constexpr key_t kServerTableKey = 0x282929;

    static void DropOrphanedTable() {
        const int id = ::shmget(kServerTableKey, 0, 0);
        shmid_ds table{};
        if (id >= 0 && ::shmctl(id, IPC_STAT, &table) == 0 && table.shm_nattch == 0) {
            ::shmctl(id, IPC_RMID, nullptr);
        }
    }

    // A server of a test process that has died still has its folder; started and stopped under
    // its name, it gives its place back.
    void GiveBackLeftPlaces(const std::string& base) {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(base, ec)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(prefix_ + "-", 0) != 0 || name == name_) {
                continue;
            }
            const long owner = std::strtol(name.c_str() + prefix_.size() + 1, nullptr, 10);
            if (owner > 0 && ::kill(static_cast<pid_t>(owner), 0) != 0 && errno == ESRCH) {
                JackServer left(prefix_, rate_, period_);
                left.name_ = name;
                if (left.Spawn()) {
                    left.Terminate();
                }
            }
        }
    }

    bool Spawn() {
        log_ = "/tmp/" + name_ + ".log";
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, log_.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                         0600);
        posix_spawn_file_actions_adddup2(&actions, 1, 2);
        const std::string rate = std::to_string(rate_);
        const std::string period = std::to_string(period_);
        const char* argv[] = {"jackd", "-n",         name_.c_str(), "-r",           "-d",   "dummy",
                              "-r",    rate.c_str(), "-p",          period.c_str(), nullptr};
        const int spawned = posix_spawnp(&pid_, "jackd", &actions, nullptr,
                                         const_cast<char* const*>(argv), environ);
        posix_spawn_file_actions_destroy(&actions);
        if (spawned != 0) {
            pid_ = -1;
            return false;
        }
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (!Running()) {
                return false;
            }
            if (JackProbe::Connect(name_, "ready_check")) {
                placeTaken_ = true;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        Terminate();
        return false;
    }

    bool Stop(int signal) {
        if (!Running()) {
            return false;
        }
        ::kill(pid_, signal);
        int status = 0;
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        ::kill(pid_, SIGKILL);  // it did not stop: it is killed, and keeps its place
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return false;
    }

    std::string prefix_;
    std::string name_;
    int rate_;
    int period_;
    std::string log_;
    pid_t pid_ = -1;
    // Started, and not stopped properly since.
    bool placeTaken_ = false;
};

}  // namespace quorvane::testing
