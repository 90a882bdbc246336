// The particle table across several chunks, as the netCDF library reads it back.
#include "statistics/ParticleNetcdfWriter.h"
#include "NetcdfTestSupport.h"
#include "TestFiles.h"
#include "particle/CHydData.h"

#include <cmath>
#include <cstdint>

namespace {

class ParticleNetcdfWriterTest : public TempDirTest {};

// Row `r` of column `c`: the first row names the column (the library lists the variables by
// name), then half the columns repeat few values (whole pixels), the others look random, and one
// has a gap every fifth row.
double Cell(std::size_t r, std::size_t c) {
  if (r == 0)
    return double(c);
  if (c == 17 && r % 5 == 1)
    return std::nan("");
  if (c % 2 == 0)
    return double((r * (c + 7)) % 600) * 0.5;
  const std::uint64_t mixed = (r + 1) * 6364136223846793005ULL + c * 1442695040888963407ULL;
  return double((mixed >> 40) % 30000) * 0.25;
}

TEST_F(ParticleNetcdfWriterTest, EveryChunkReadsBackAsWrittenInMemoryAsOnDisk) {
  const ParticleNetcdfWriter::Layout layout;
  std::vector<double> first;
  ParticleNetcdfWriter::Values(layout, HydRecord{}, false, nullptr, nullptr, first);
  const std::size_t width = first.size();
  const std::size_t CHUNK = ParticleNetcdfWriter::CHUNK;
  for (std::size_t rows : {std::size_t(0), CHUNK, 2 * CHUNK + 1234}) {
    SCOPED_TRACE(rows);
    const std::string path = Path("p.nc");
    std::string error;
    ParticleNetcdfWriter file, memory;
    ASSERT_TRUE(file.Create(path, layout, {}, &error)) << error;
    ASSERT_TRUE(memory.CreateInMemory(layout, &error)) << error;
    std::vector<double> row(width);
    for (std::size_t r = 0; r < rows; ++r) {
      for (std::size_t c = 0; c < width; ++c)
        row[c] = Cell(r, c);
      ASSERT_TRUE(file.AppendValues(row.data(), &error)) << error;
      ASSERT_TRUE(memory.AppendValues(row.data(), &error)) << error;
    }
    EXPECT_EQ(file.Rows(), rows);
    ASSERT_TRUE(file.Finish(&error)) << error;
    EXPECT_FALSE(file.IsOpen());
    std::vector<unsigned char> bytes;
    ASSERT_TRUE(memory.FinishInMemory(bytes, &error)) << error;
    EXPECT_EQ(FileBytes(path), bytes);

    NcFile nc(path);
    ASSERT_TRUE(nc.Ok());
    EXPECT_EQ(nc.Dim("particle"), (long long)rows);
    int variables = 0, shuffled = 0;
    ASSERT_EQ(nc_inq_nvars(nc.Id(), &variables), NC_NOERR);
    ASSERT_EQ(variables, (int)width);
    for (int v = 0; v < variables; ++v) {
      char name[NC_MAX_NAME + 1] = {};
      nc_type type = NC_NAT;
      ASSERT_EQ(nc_inq_var(nc.Id(), v, name, &type, nullptr, nullptr, nullptr), NC_NOERR);
      SCOPED_TRACE(name);
      EXPECT_EQ(nc.Deflate(name), 1);
      EXPECT_EQ(nc.Chunks(name), std::vector<size_t>{CHUNK});
      int shuffle = 0;
      nc_inq_var_deflate(nc.Id(), v, &shuffle, nullptr, nullptr);
      shuffled += shuffle;
      const std::vector<double> stored = nc.Doubles(name);
      ASSERT_EQ(stored.size(), rows);
      if (rows == 0)
        continue;
      const std::size_t column = std::size_t(stored[0]);
      const bool real = type == NC_FLOAT || type == NC_DOUBLE;
      const double fill = type == NC_SHORT ? NC_FILL_SHORT : NC_FILL_INT;
      for (std::size_t r = 1; r < rows; ++r) {
        const double expected = Cell(r, column);
        if (std::isnan(expected))
          ASSERT_TRUE(real ? std::isnan(stored[r]) : stored[r] == fill) << r;
        else
          ASSERT_EQ(stored[r], real ? expected : std::trunc(expected)) << r;
      }
    }
    // Each column's first chunk chose: the repeating ones are stored as they are.
    if (rows > 0) {
      EXPECT_GT(shuffled, 0);
      EXPECT_LT(shuffled, variables);
    }
  }
}

} // namespace
