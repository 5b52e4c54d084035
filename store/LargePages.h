#pragma once

#include <cstddef>

// Asks the system to back a large buffer not yet written with pages of 2 MB rather than 4 KB.
// A 100,000-item subcategory takes some 200 MB of fresh memory (its bytes, their line index, the
// list's search text); in 4 KB pages that is fifty thousand page faults, which on a virtual
// machine cost more than reading and parsing the file together. Does nothing where the system
// offers no such pages or the buffer is too small to hold one.
namespace LargePages {

void prefer(void *data, std::size_t bytes);

template <typename Vector> void preferForCapacity(Vector &vector)
{
    prefer(vector.data(), vector.capacity() * sizeof(*vector.data()));
}

} // namespace LargePages
