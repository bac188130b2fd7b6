#pragma once
// Measures the CPU time of the calling thread, so that "reads quickly" checks hold on a loaded
// machine (wall-clock time also counts the time other processes hold the cores).
#include <ctime>

namespace testsupport {

class ThreadCpuTimer {
  public:
    ThreadCpuTimer() : start_(Now()) {}
    double Seconds() const { return Now() - start_; }

  private:
    static double Now() {
        timespec ts{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
        return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
    }
    double start_;
};

}  // namespace testsupport
