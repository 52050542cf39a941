// Stand-ins for the PNG reader and writer while those are built elsewhere: every member answers
// False or empty, so the load chain and the savers take their other roads. This file goes when the
// codecs land.
#include "cPNGparser.h"
#include "cPNGwriter.h"

namespace quorallion {

bool cPNGparser::LoadStream(const std::vector<uint8_t>&, c32bppDIB&, int64_t, int64_t, ULONG_PTR&) { return false; }
bool cPNGparser::LoadFile(HANDLE, const std::wstring&, c32bppDIB&, ULONG_PTR&) { return false; }

struct cPNGwriter::Store {};
cPNGwriter::cPNGwriter() = default;
cPNGwriter::~cPNGwriter() = default;
bool cPNGwriter::SavePNG(c32bppDIB&, const std::wstring&, std::vector<uint8_t>&) { return false; }
bool cPNGwriter::SetPngProperty(int32_t, const VARIANT&, const std::wstring&) { return false; }
bool cPNGwriter::RemovePngProperty(int32_t, const std::wstring&) { return false; }
void cPNGwriter::GetPngProperty(int32_t, const std::wstring&, VARIANT* result) const {
    if (result) ::VariantClear(result);
}

}  // namespace quorallion
