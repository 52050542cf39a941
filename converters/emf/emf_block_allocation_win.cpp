// Room for the metafile blocks of one conversion, from the heap.
#include "emf_module_win.h"

namespace quorallion::emf {

std::vector<BYTE> AllocateMetafileBlock(size_t size) { return std::vector<BYTE>(size); }

}  // namespace quorallion::emf
