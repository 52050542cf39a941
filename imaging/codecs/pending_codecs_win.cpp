// Stand-ins for the PNG reader and writer, the JPEG writer and the TGA codec while those are built
// elsewhere: every member answers False or empty, so the load chain and the savers take their other
// roads. This file goes when the codecs land.
#include "cJPGWriter.h"
#include "cTGAparser.h"

namespace quorallion {

bool cJPGWriter::SaveJPG(const std::wstring&, std::vector<uint8_t>&, c32bppDIB&, uint8_t, uint32_t) { return false; }

bool cTGAparser::LoadStream(const std::vector<uint8_t>&, c32bppDIB&, int64_t, int64_t) { return false; }
bool cTGAparser::SaveAsTGA(const std::wstring&, std::vector<uint8_t>&, c32bppDIB&, bool, bool, bool) { return false; }

}  // namespace quorallion
