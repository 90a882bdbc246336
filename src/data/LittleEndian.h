#pragma once
// Little-endian field decoding by assembling bytes: no packed overlays, no alignment assumptions.
#include <bit>
#include <cstdint>

namespace le {

inline uint16_t U16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
inline int16_t I16(const uint8_t *p) { return int16_t(U16(p)); }
inline uint32_t U32(const uint8_t *p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline int32_t I32(const uint8_t *p) { return int32_t(U32(p)); }
inline uint64_t U64(const uint8_t *p) { return uint64_t(U32(p)) | (uint64_t(U32(p + 4)) << 32); }
inline float F32(const uint8_t *p) { return std::bit_cast<float>(U32(p)); }
inline double F64(const uint8_t *p) { return std::bit_cast<double>(U64(p)); }

inline void PutU16(uint8_t *p, uint16_t v) {
  p[0] = uint8_t(v);
  p[1] = uint8_t(v >> 8);
}
inline void PutU32(uint8_t *p, uint32_t v) {
  PutU16(p, uint16_t(v));
  PutU16(p + 2, uint16_t(v >> 16));
}
inline void PutU64(uint8_t *p, uint64_t v) {
  PutU32(p, uint32_t(v));
  PutU32(p + 4, uint32_t(v >> 32));
}
inline void PutF32(uint8_t *p, float v) { PutU32(p, std::bit_cast<uint32_t>(v)); }
inline void PutF64(uint8_t *p, double v) { PutU64(p, std::bit_cast<uint64_t>(v)); }

} // namespace le
