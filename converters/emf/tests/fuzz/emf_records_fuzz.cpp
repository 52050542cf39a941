// Any bytes: the walk answers without reading outside the block or looping.
#include <cstddef>
#include <cstdint>

#include "emf_records.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    quorallion::emf::IsWellFormedEmf(data, size);
    return 0;
}
