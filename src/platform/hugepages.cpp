#include "platform/hugepages.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

void adviseHugePages(void* data, qsizetype size) {
#if defined(MADV_HUGEPAGE)
    if (!data || size < kHugePageAdviceFrom)
        return;
    constexpr std::uintptr_t kHuge = std::uintptr_t(2) << 20;
    const auto from = (reinterpret_cast<std::uintptr_t>(data) + kHuge - 1) & ~(kHuge - 1);
    const auto to = (reinterpret_cast<std::uintptr_t>(data) + std::uintptr_t(size)) & ~(kHuge - 1);
    // Only advice: where the kernel refuses, the pages come as usual.
    if (to > from)
        madvise(reinterpret_cast<void*>(from), to - from, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(size);
#endif
}
