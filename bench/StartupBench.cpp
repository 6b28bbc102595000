// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up costs beside their floors, measured side by side in one run
// (the runs of all programs interleaved, median of each):
//   glowdeck-cli --version and list of a 10-item project vs. /bin/true (and a
//   tool on QtCore alone for reference),
//   the desktop program up to its first dialog vs. glowdeck --version.
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "bench/Must.h"

extern char** environ;

using Clock = std::chrono::steady_clock;

namespace {

struct Run {
    double ms = 0;     // until the program ended, or wrote its first line
    double cpuMs = 0;  // user and system time of the whole run
    bool ok = false;   // exited 0
};

// Runs `args` with stdout on a pipe. With `untilFirstLine` the time is taken
// when the first line arrives; the program is still waited for.
Run Spawn(const std::vector<std::string>& args, bool untilFirstLine = false) {
    int out[2];
    if (pipe(out) != 0) return {};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    Run run;
    if (spawned != 0) {
        close(out[0]);
        return run;
    }
    char buffer[4096];
    bool lineSeen = false;
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        if (untilFirstLine && !lineSeen && std::find(buffer, buffer + n, '\n') != buffer + n) {
            lineSeen = true;
            run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    run.cpuMs = (usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1e3 +
                (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e3;
    if (!untilFirstLine)
        run.ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    run.ok = WIFEXITED(status) && WEXITSTATUS(status) == 0 && (!untilFirstLine || lineSeen);
    return run;
}

}  // namespace

int main() {
    const std::string cli = GLOWDECK_CLI_PATH, desktop = GLOWDECK_PATH;
    QTemporaryDir dir;
    const std::string root = dir.path().toStdString(), project = root + "/small";
    Must(Spawn({cli, "new", "--root", root, "small"}).ok, "creating the project");
    const char* kinds[] = {"picture", "animation", "text", "interval"};
    for (int i = 0; i < 10; ++i)
        Must(Spawn({cli, "add", project, "1", kinds[i % 4]}).ok, "adding an item");
    Must(Spawn({cli, "compile", project, "--no-cache"}).ok, "compiling the project");

    struct Case {
        const char* what;
        std::vector<std::string> args;
        bool untilFirstLine;
    };
    const std::vector<Case> cases{
        {"/bin/true", {"/bin/true"}, false},
        {"QtCore-only tool", {QTCORE_FLOOR_PATH}, false},
        {"glowdeck-cli --version", {cli, "--version"}, false},
        {"glowdeck-cli list (10 items)", {cli, "list", project}, false},
        {"glowdeck-cli inspect data.bin", {cli, "inspect", project + "/data.bin"}, false},
        {"glowdeck --version", {desktop, "--version"}, false},
        {"glowdeck to its first dialog", {desktop, "--check-start"}, true},
    };
    constexpr int kRounds = 21;
    std::map<std::string, std::vector<double>> wall, cpu;
    for (int r = 0; r < kRounds; ++r)
        for (const Case& c : cases) {
            const Run run = Spawn(c.args, c.untilFirstLine);
            Must(run.ok, c.what);
            wall[c.what].push_back(run.ms);
            cpu[c.what].push_back(run.cpuMs);
        }
    // Wall clock is what a user waits; CPU time is the work itself, steadier on a
    // loaded machine (the first dialog's CPU time runs to the program's end).
    std::printf("start-up, median of %d interleaved runs each: wall clock, CPU time\n", kRounds);
    auto line = [&](const char* what, const char* floor, const char* target) {
        const double w = Median(wall[what]), c = Median(cpu[what]);
        std::printf("%-30s %8.2f ms %7.2f ms", what, w, c);
        if (floor)
            std::printf("   %5.2f x, CPU %5.2f x %s%s", w / Median(wall[floor]),
                        c / Median(cpu[floor]), floor, target);
        std::printf("\n");
    };
    line("/bin/true", nullptr, "");
    line("QtCore-only tool", "/bin/true", "");
    line("glowdeck-cli --version", "/bin/true", "");
    line("glowdeck-cli list (10 items)", "/bin/true", " (target <= 8)");
    line("glowdeck-cli inspect data.bin", "/bin/true", "");
    line("glowdeck --version", nullptr, "");
    line("glowdeck to its first dialog", "glowdeck --version", " (target <= 15)");
    return 0;
}
