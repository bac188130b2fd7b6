#pragma once
// Readable marker records in test failure messages.
#include <ostream>

#include "app/markers/marker_packet.h"

namespace app {

inline void PrintTo(const MarkerRecord& r, std::ostream* os) {
    *os << "{" << r.id << ", \"" << r.name.toStdString() << "\", " << r.latitude << ", "
        << r.longitude << ", \"" << r.content.toStdString() << "\"}";
}

}  // namespace app
