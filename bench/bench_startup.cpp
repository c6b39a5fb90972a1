// SPDX-License-Identifier: GPL-3.0-or-later
// Start-up of the utility to a synced, shown window against the emulated box,
// next to a bare Qt program that shows an empty QMainWindow. Each program is
// launched `runs` times (default 15), alternately, on the offscreen platform
// unless QT_QPA_PLATFORM says otherwise; medians are reported.
//
// The sync must pause: the EDID read waits kEdidFetchPauseMs after its fetch
// request and kEdidBusyPollPauseMs after each busy check (at least one). The
// ratio is taken without those pauses, so that it compares the program's own
// work with Qt's.
//
//   bench_startup [runs]   (startup_window and startup_bare beside it)
#include "benchreport.h"

#include "boxedid/edidtransfer.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Report = std::map<std::string, double>;

std::string besideMe(const char *name)
{
    char self[4096] = {};
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string dir = n > 0 ? std::string(self, std::size_t(n)) : std::string("./x");
    return dir.substr(0, dir.rfind('/') + 1) + name;
}

// Launches `program` and reads its "key=value" lines.
Report launch(const std::string &program)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        std::exit(2);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    // Qt's notes about the offscreen platform are of no interest here.
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);

    setenv("VORTALEX_BENCH_LAUNCH_NS", std::to_string(benchreport::monotonicNs()).c_str(), 1);
    char *argv[] = { const_cast<char *>(program.c_str()), nullptr };
    pid_t pid = 0;
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv, environ) != 0) {
        std::fprintf(stderr, "cannot start %s\n", program.c_str());
        std::exit(2);
    }
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);

    std::string output;
    char buffer[512];
    ssize_t got = 0;
    while ((got = read(pipeFds[0], buffer, sizeof buffer)) > 0)
        output.append(buffer, std::size_t(got));
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s failed\n", program.c_str());
        std::exit(2);
    }

    Report report;
    std::size_t start = 0;
    while (start < output.size()) {
        const std::size_t end = output.find('\n', start);
        const std::string line = output.substr(start, end - start);
        const std::size_t eq = line.find('=');
        if (eq != std::string::npos)
            report[line.substr(0, eq)] = std::atof(line.c_str() + eq + 1);
        start = end == std::string::npos ? output.size() : end + 1;
    }
    return report;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 15;
    setenv("QT_QPA_PLATFORM", "offscreen", 0);

    const std::string utility = besideMe("startup_window");
    const std::string bare = besideMe("startup_bare");
    // One launch each first, so that both start from a warm file cache.
    launch(utility);
    launch(bare);

    std::vector<double> utilityMs, bareMs, pausesMs, utilityKiB, bareKiB;
    for (int i = 0; i < runs; ++i) {
        const Report u = launch(utility);
        if (u.at("ready") != 1) {
            std::fprintf(stderr, "the window was not synced and shown\n");
            return 1;
        }
        utilityMs.push_back(u.at("shown_ms"));
        pausesMs.push_back(u.at("pauses_ms"));
        utilityKiB.push_back(u.at("peak_kib"));
        const Report b = launch(bare);
        bareMs.push_back(b.at("shown_ms"));
        bareKiB.push_back(b.at("peak_kib"));
    }

    // The least the sync must sleep: the fetch pause and one busy check.
    const double pauseFloor = double(vortalex::kEdidFetchPauseMs + vortalex::kEdidBusyPollPauseMs);
    const double pauses = median(pausesMs);
    const double u = median(utilityMs);
    const double b = median(bareMs);
    std::printf("runs=%d\n", runs);
    std::printf("startup_utility_ms=%.1f\n", u);
    std::printf("startup_bare_ms=%.1f\n", b);
    std::printf("startup_pauses_ms=%.0f\n", pauses);
    std::printf("startup_pause_floor_ms=%.0f\n", pauseFloor);
    std::printf("startup_utility_without_pauses_ms=%.1f\n", u - pauses);
    std::printf("startup_ratio_without_pauses=%.2f\n", (u - pauses) / b);
    std::printf("peak_utility_kib=%.0f\n", median(utilityKiB));
    std::printf("peak_bare_kib=%.0f\n", median(bareKiB));
    return 0;
}
