#pragma once
// The most memory this process has held at once, for checks that a stream of data does not
// pile up (each test runs in a process of its own, so the figure is the test's).
#include <sys/resource.h>

#include <cstddef>

namespace testsupport {

inline std::size_t PeakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<std::size_t>(usage.ru_maxrss) * 1024;
}

}  // namespace testsupport
