#include "ChunkDeflater.h"

#include <libdeflate.h>

void ChunkDeflater::FreeCompressor::operator()(libdeflate_compressor *c) const {
  libdeflate_free_compressor(c);
}

ChunkDeflater::ChunkDeflater(int level) : compressor(libdeflate_alloc_compressor(level)) {}

bool ChunkDeflater::Compress(const unsigned char *values, std::size_t size, std::size_t elementSize,
                             bool shuffle) {
  if (!compressor || elementSize == 0)
    return false;
  const unsigned char *in = values;
  if (shuffle && elementSize > 1) {
    // The first bytes of all values, then their second bytes, and so on.
    const std::size_t count = size / elementSize;
    if (transposed.size() < size)
      transposed.resize(size);
    for (std::size_t i = 0; i < count; ++i)
      for (std::size_t b = 0; b < elementSize; ++b)
        transposed[b * count + i] = values[i * elementSize + b];
    // Bytes beyond whole values stay where they are, as the filter leaves them.
    for (std::size_t i = count * elementSize; i < size; ++i)
      transposed[i] = values[i];
    in = transposed.data();
  }
  const std::size_t bound = libdeflate_zlib_compress_bound(compressor.get(), size);
  if (output.size() < bound)
    output.resize(bound);
  length = libdeflate_zlib_compress(compressor.get(), in, size, output.data(), output.size());
  return length > 0;
}
