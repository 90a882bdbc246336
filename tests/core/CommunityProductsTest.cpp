// The products as the community's tools read them: the drop size distribution in its classes
// of diameter and velocity, and the particle table, both through xarray with decode_cf.
#include "NetcdfTestSupport.h"
#include "PluvicamVersion.h"
#include "TestFiles.h"
#include "synth/DayGenerator.h"

#include <cmath>
#include <filesystem>

using namespace testdata;

class CommunityProductsTest : public TempDirTest {
protected:
  std::string Day(const std::string &name, uint64_t seed, int startMinute,
                  int64_t particles = 20000) {
    synth::DayOptions o;
    o.outDir = dir.string();
    o.name = name;
    o.seed = seed;
    o.startMinute = startMinute;
    o.hours = 0.5;
    o.particles = particles;
    return synth::GenerateDay(o).dataPath;
  }
  CliRun Cli(const std::string &arguments) { return RunCli(arguments, Path("err.txt")); }
};

// The counts add up, and N(D) follows from the counts through each particle's measuring area
// and velocity, the interval's length and the class width.
TEST_F(CommunityProductsTest, TheDropSizeDistributionInTheCommunitysLayout) {
  const std::string day = Day("day", 21, 6 * 60);
  const std::string dsd = Path("dsd.nc"), particles = Path("particles.nc");
  CliRun r = Cli("dsd --moments " + day + " --netcdf " + dsd);
  ASSERT_EQ(r.status, 0) << r.err;
  r = Cli("particles --to 24:00 " + day + " --netcdf " + particles);
  ASSERT_EQ(r.status, 0) << r.err;
  ExpectXarrayOpensCleanly(
      dsd,
      "import numpy as np\n"
      "p = xr.open_dataset('" +
          particles +
          "', decode_cf=True)\n"
          "assert ds.drop_number_concentration.dims == ('time', 'diameter_bin_center')\n"
          "assert ds.raw_drop_number.dims == "
          "('time', 'diameter_bin_center', 'velocity_bin_center')\n"
          "assert ds.fall_velocity.dims == ('diameter_bin_center',)\n"
          "assert ds.sizes['velocity_bin_center'] == 100\n"
          "units = {'drop_number_concentration': 'm-3 mm-1', 'drop_counts': '1', 'N': '1',\n"
          "  'Nremoved': '1', 'R': 'mm h-1', 'P': 'mm', 'Z': 'dBZ', 'LWC': 'g m-3', 'D50': 'mm',\n"
          "  'Lambda': 'mm-1', 'fall_velocity': 'm s-1', 'drop_average_velocity': 'm s-1',\n"
          "  'diameter_bin_center': 'mm', 'diameter_bin_width': 'mm', 'velocity_bin_upper': "
          "'m s-1', 'sample_interval': 's'}\n"
          "for name, unit in units.items():\n"
          "    assert ds[name].attrs['units'] == unit, (name, ds[name].attrs)\n"
          "    assert ds[name].attrs['long_name'], name\n"
          "assert ds.R.attrs['standard_name'] == 'rainfall_rate'\n"
          "assert (ds.raw_drop_number.sum('velocity_bin_center') == ds.drop_counts).all()\n"
          "assert (ds.drop_counts.sum('diameter_bin_center') == ds.N).all()\n"
          "assert int(ds.N.sum()) == p.sizes['particle']\n"
          "assert np.allclose(ds.diameter_bin_upper - ds.diameter_bin_lower, "
          "ds.diameter_bin_width)\n"
          "assert abs(float(ds.fall_velocity[3]) - 3.57) < 1e-5\n"
          // The particles' own classes, intervals and 1/(A v), in the program's precisions.
          "lf = ds.attrs['line_frequency_hz']\n"
          "tim = p.tim.values\n"
          "start = (ds.time.values - np.datetime64('1970-01-01')) / np.timedelta64(1, 's')\n"
          "midnight = np.floor(start[0] / 86400) * 86400\n"
          "interval = midnight + np.floor(tim / (60 * lf)) * 60\n"
          "k = np.floor(p.diameter.values.astype(np.float64) / np.float32(0.25) + 0.001)\n"
          "av = (p.area.values * p.velocity.values).astype(np.float32)\n"
          "factor = np.float32(1) / (np.float32(60) * np.float32(0.25))\n"
          "complete = np.nonzero(ds.interval_complete.values == 1)[0]\n"
          "assert len(complete) > 20\n"
          "for i in complete:\n"
          "    mine = interval == start[i]\n"
          "    counts = np.bincount(k[mine].astype(int), minlength=40)[:40]\n"
          "    assert (counts == ds.drop_counts.values[i]).all(), i\n"
          "    sums = np.bincount(k[mine].astype(int), weights=1e6 / av[mine].astype(np.float64),\n"
          "                       minlength=40)[:40]\n"
          "    nd = (sums * np.float64(factor)).astype(np.float32)\n"
          "    stored = ds.drop_number_concentration.values[i]\n"
          "    assert np.allclose(nd, stored, rtol=2e-6, atol=0), (i, nd, stored)\n"
          "    assert float(ds.sample_interval[i]) == 60\n"
          "    v = p.velocity.values[mine].astype(np.float64)\n"
          "    kk = k[mine].astype(int)\n"
          "    for c in np.unique(kk):\n"
          "        mean = v[kk == c].mean()\n"
          "        assert abs(float(ds.drop_average_velocity[i, c]) - mean) < 1e-5 * mean\n");
}

TEST_F(CommunityProductsTest, TheParticleTableEqualsTheCsvCompressed) {
  // Few particles: the contours of each are built.
  const std::string day = Day("day", 22, 6 * 60, 4000);
  for (const char *options : {"", " --contours raw --correction on", " --to 24:00 --wind"}) {
    SCOPED_TRACE(options);
    const std::string nc = Path("p.nc"), csv = Path("p.csv");
    CliRun r = Cli("particles " + day + options + " --netcdf " + nc);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    r = Cli("particles " + day + options);
    ASSERT_EQ(r.status, 0) << r.err;
    {
      FILE *f = std::fopen(csv.c_str(), "w");
      std::fwrite(r.out.data(), 1, r.out.size(), f);
      std::fclose(f);
    }
    NcFile f(nc);
    ASSERT_TRUE(f.Ok());
    EXPECT_TRUE(f.Unlimited("particle"));
    EXPECT_EQ(f.Dim("particle"), (long long)TextLines(r.out).size() - 1);
    EXPECT_EQ(f.Deflate("diameter"), 1);
    EXPECT_EQ(f.Chunks("velocity"), std::vector<size_t>{65536});
    EXPECT_EQ(f.Text("time", "units"), "seconds since 1970-01-01 00:00:00 UTC");
    EXPECT_EQ(f.Text("velocity", "units"), "m s-1");
    ExpectXarrayOpensCleanly(
        nc, "import numpy as np, pandas as pd\n"
            "c = pd.read_csv('" +
                csv +
                "')\n"
                "assert len(c) == ds.sizes['particle']\n"
                "for name in c.columns:\n"
                "    if name == 'time':\n"
                "        continue\n"
                "    mine = ds[name].values\n"
                "    theirs = c[name].values.astype(mine.dtype if mine.dtype.kind == 'f' else "
                "np.float64)\n"
                "    if mine.dtype.kind != 'f':\n"
                "        mine = mine.astype(np.float64)\n"
                "    same = (mine == theirs) | (np.isnan(mine) & np.isnan(theirs))\n"
                "    assert same.all(), (name, mine[~same][:5], theirs[~same][:5])\n"
                "lf = 34090.857142857145\n"
                "seconds = (ds.time.values - np.datetime64('1970-01-01')) / np.timedelta64(1, "
                "'s')\n"
                "of_day = seconds - np.floor(seconds[0] / 86400) * 86400\n"
                "assert np.abs(of_day - c.tim.values / lf).max() < 1e-6\n");
  }
}

// The header of a netCDF file weighs little against a day's particles.
TEST_F(CommunityProductsTest, TheParticleTableIsAFractionOfTheCsv) {
  const std::string day = Day("day", 25, 6 * 60);
  const std::string nc = Path("p.nc");
  ASSERT_EQ(Cli("particles " + day + " --netcdf " + nc).status, 0);
  const CliRun csv = Cli("particles " + day);
  ASSERT_EQ(csv.status, 0);
  const double ncSize = double(std::filesystem::file_size(nc));
  EXPECT_LT(ncSize, 0.3 * double(csv.out.size())) << ncSize << " of " << csv.out.size();
}

TEST_F(CommunityProductsTest, SeveralFilesFormOneParticleTableInTimeOrder) {
  const std::string late = Day("late", 23, 9 * 60), early = Day("early", 24, 7 * 60);
  const std::string nc = Path("both.nc");
  const CliRun r = Cli("particles " + late + " " + early + " --netcdf " + nc);
  ASSERT_EQ(r.status, 0) << r.err;
  const auto count = [&](const std::string &file) {
    return (long long)TextLines(Cli("particles " + file).out).size() - 1;
  };
  NcFile f(nc);
  ASSERT_TRUE(f.Ok());
  EXPECT_EQ(f.Text("", "pluvicam_version"), pluvicam::VERSION);
  EXPECT_EQ(f.Dim("particle"), count(late) + count(early));
  // The early file first; within a file the particles stay in the file's order, in which
  // overlapping particles may stand a fraction of a millisecond out of time order.
  const auto time = f.Doubles("time");
  const size_t earlyCount = size_t(count(early));
  ASSERT_GT(time.size(), earlyCount);
  EXPECT_LT(time[earlyCount - 1], time[earlyCount]);
  EXPECT_LT(time.front(), 8 * 3600 + std::floor(time.front() / 86400) * 86400);
  // CSV of several files: one header, the earlier file first.
  const auto lines = TextLines(Cli("particles " + late + " " + early).out);
  EXPECT_EQ((long long)lines.size(), count(late) + count(early) + 1);
  EXPECT_EQ(CsvRows(lines).front().at("time").substr(0, 2), "07");
}
