#include "LargePages.h"

#include <QtGlobal>
#include <cstdint>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace LargePages {

void prefer(void *data, std::size_t bytes)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t page = std::uintptr_t(2) << 20;
    const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
    const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(page - 1);
    // Only advice: where it is refused, the buffer works in small pages as before.
    if (data && end > begin)
        ::madvise(reinterpret_cast<void *>(begin), end - begin, MADV_HUGEPAGE);
#else
    Q_UNUSED(data);
    Q_UNUSED(bytes);
#endif
}

} // namespace LargePages
