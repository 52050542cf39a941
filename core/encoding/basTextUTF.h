#pragma once
// Recognising the encoding of bytes (byte-order mark, then a UTF-8 scan) and reading whole text
// files. Encoding codes: 0 none/legacy, 1 UTF-8 with mark, 2 UTF-8 without mark, 3 UTF-16LE,
// 4 UTF-16BE, 5 UTF-32LE, 6 UTF-32BE; -1 given to ReadTextFile asks it to recognise the encoding.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quorallion::basTextUTF {

enum Encoding : int32_t {
    kDetect = -1,
    kNone = 0,
    kUtf8Bom = 1,
    kUtf8 = 2,
    kUtf16LE = 3,
    kUtf16BE = 4,
    kUtf32LE = 5,
    kUtf32BE = 6,
};

// first4 holds the first four bytes little-endian (byte 0 lowest). Returns the mark length.
int32_t CheckBOM(uint32_t first4, int32_t& encoding);
// Sets encoding to 2 (well-formed lead/continuation pattern with a byte >= 0x80) or 0.
// The scan stops at the first zero byte.
void IsUTF8(const uint8_t* data, size_t size, int32_t& encoding);
void IsUTF8(const std::vector<uint8_t>& bytes, int32_t& encoding);
// (b AND 0x7F) * 2.
uint8_t ShiftByteLeft(uint8_t b);
// The first four bytes (missing ones read as zero) decide the mark; without one, the UTF-8 scan.
int32_t DetectEncoding(const uint8_t* data, size_t size, int32_t& bomLength);
int32_t DetectEncoding(const std::vector<uint8_t>& bytes, int32_t& bomLength);

// The whole file as text (Windows only). encoding is -1 or 0..6; -1 is replaced by the code
// recognised. Never raises: anything that fails gives the empty text.
std::wstring ReadTextFile(const std::wstring& path, int32_t& encoding);

}  // namespace quorallion::basTextUTF
