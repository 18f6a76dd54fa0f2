#pragma once

#include <cstddef>

namespace xyx {

// Hints that a large buffer about to be filled should be backed by huge pages where the system
// offers them, so that writing it takes a few hundred page faults instead of tens of thousands.
// Does nothing for small buffers or where there is no such hint.
void AdviseLargeBuffer(void* data, std::size_t size);

}  // namespace xyx
