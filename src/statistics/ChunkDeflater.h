#pragma once
#include <cstddef>
#include <memory>
#include <vector>

struct libdeflate_compressor;

// Compresses chunks of a variable into what the HDF5 shuffle and deflate filters read back (a
// zlib stream), keeping its compressor and buffers from one chunk to the next. libdeflate
// compresses a whole buffer at once, several times faster than zlib at the same level. One
// thread at a time.
class ChunkDeflater {
public:
  explicit ChunkDeflater(int level);

  // Compresses `size` bytes of values `elementSize` bytes long, first transposing their bytes
  // when `shuffle` is set. False when the compressor failed.
  bool Compress(const unsigned char *values, std::size_t size, std::size_t elementSize,
                bool shuffle);
  // The last compressed chunk.
  const unsigned char *Data() const { return output.data(); }
  std::size_t Size() const { return length; }

private:
  struct FreeCompressor {
    void operator()(libdeflate_compressor *c) const;
  };
  std::unique_ptr<libdeflate_compressor, FreeCompressor> compressor;
  std::vector<unsigned char> transposed, output;
  std::size_t length = 0;
};
