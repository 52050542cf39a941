// For QuorallionEmfAllocationFault.dll, a test build of QuorallionEmf: no metafile block can be
// allocated, as when a file or clipboard metafile is larger than the memory left.
#include <new>

#include "emf_module_win.h"

namespace quorallion::emf {

std::vector<BYTE> AllocateMetafileBlock(size_t) { throw std::bad_alloc(); }

}  // namespace quorallion::emf
