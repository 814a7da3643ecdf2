// The benches hold a thousand connections or more: they raise their descriptor limit to the
// hard limit first (the servers they start inherit it).
#pragma once

#include <sys/resource.h>

namespace benchproc {

// Raises the soft limit on open descriptors to the hard limit; returns the limit now in force.
inline unsigned long long raiseDescriptorLimit() {
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = files.rlim_max;
    ::setrlimit(RLIMIT_NOFILE, &files);
    ::getrlimit(RLIMIT_NOFILE, &files);
    return static_cast<unsigned long long>(files.rlim_cur);
}

}  // namespace benchproc
