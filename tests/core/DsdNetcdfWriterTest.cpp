// The drop size distribution product as other tools read it back.
#include "statistics/DsdNetcdfWriter.h"
#include "NetcdfTestSupport.h"
#include "TestFiles.h"

#include <cmath>
#include <filesystem>
#include <limits>
#include <numeric>

namespace {

constexpr double T0 = 1780272000.0 + 6 * 3600; // 06:00 UTC of a day in 2026

DsdProductLayout Layout(bool moments) {
  DsdProductLayout layout;
  layout.classCount = 4;
  layout.deltaD = 0.25;
  layout.moments = moments;
  layout.attributes = {{"title", std::string("first title")},
                       {"institution", std::string()},
                       {"line_frequency", 34090.857142857145},
                       {"title", std::string("Drops at the field site")}};
  return layout;
}

DsdProductRow Row(double start, double seconds, int count) {
  DsdProductRow row;
  row.start = start;
  row.end = start + seconds;
  row.nd = {1234.5678, 0.0, 17.25, 3.0e-3};
  row.rainRate = 2.5;
  row.amount = 0.0417;
  row.count = count;
  row.complete = true;
  row.nt = 800.0;
  row.lwc = 0.21;
  row.reflectivity = 28.4;
  row.dm = 1.3;
  row.d0 = 1.2;
  row.nw = 8000.0;
  row.mu = 2.0;
  row.lambda = 4.5;
  return row;
}

std::vector<std::string> Leftovers(const std::filesystem::path &dir) {
  std::vector<std::string> names;
  for (const auto &entry : std::filesystem::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  return names;
}

} // namespace

class DsdNetcdfWriterTest : public TempDirTest {};

TEST_F(DsdNetcdfWriterTest, RoundTripThroughTheLibrary) {
  const std::string path = Path("day.nc");
  DsdNetcdfWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Create(path, Layout(true), {}, &error)) << error;
  ASSERT_TRUE(writer.Append(Row(T0, 60, 120), &error)) << error;
  // A partial interval: no N(D), no rain rate, some moments undefined, one class not finite.
  DsdProductRow partial = Row(T0 + 60, 42.5, 7);
  partial.nd.clear();
  partial.rainRate.reset();
  partial.complete = false;
  partial.mu.reset();
  partial.lambda.reset();
  partial.reflectivity = -std::numeric_limits<double>::infinity();
  ASSERT_TRUE(writer.Append(partial, &error)) << error;
  DsdProductRow odd = Row(T0 + 180, 60, 3);
  odd.nd[1] = std::numeric_limits<double>::quiet_NaN();
  ASSERT_TRUE(writer.Append(odd, &error)) << error;
  ASSERT_TRUE(writer.Finish(&error)) << error;
  EXPECT_EQ(Leftovers(dir), std::vector<std::string>{"day.nc"});

  NcFile nc(path);
  ASSERT_TRUE(nc.Ok());
  // Dimensions and coordinates.
  EXPECT_EQ(nc.Dim("time"), 3);
  EXPECT_TRUE(nc.Unlimited("time"));
  EXPECT_EQ(nc.Dim("diameter_bin_center"), 4);
  EXPECT_EQ(nc.Dim("nv"), 2);
  EXPECT_EQ(nc.Doubles("time"), (std::vector<double>{T0, T0 + 60, T0 + 180}));
  EXPECT_EQ(nc.Doubles("time_bnds"),
            (std::vector<double>{T0, T0 + 60, T0 + 60, T0 + 102.5, T0 + 180, T0 + 240}));
  EXPECT_EQ(nc.Doubles("diameter_bin_center"), (std::vector<double>{0.125, 0.375, 0.625, 0.875}));
  EXPECT_EQ(nc.Doubles("diameter_bin_lower"), (std::vector<double>{0, 0.25, 0.5, 0.75}));
  EXPECT_EQ(nc.Doubles("diameter_bin_upper"), (std::vector<double>{0.25, 0.5, 0.75, 1.0}));
  EXPECT_EQ(nc.Doubles("diameter_bin_width"), (std::vector<double>{0.25, 0.25, 0.25, 0.25}));
  EXPECT_EQ(nc.Dim("velocity_bin_center"), 100);
  EXPECT_EQ(nc.Doubles("velocity_bin_lower")[1], 0.2);
  EXPECT_EQ(nc.Text("time", "units"), "seconds since 1970-01-01 00:00:00 UTC");
  EXPECT_EQ(nc.Text("time", "standard_name"), "time");
  EXPECT_EQ(nc.Text("time", "bounds"), "time_bnds");
  EXPECT_EQ(nc.Text("diameter_bin_center", "units"), "mm");
  EXPECT_EQ(nc.Text("velocity_bin_center", "units"), "m s-1");
  EXPECT_EQ(nc.DimsOf("time_bnds"), (std::vector<std::string>{"time", "nv"}));
  EXPECT_EQ(nc.DimsOf("diameter_bin_lower"), (std::vector<std::string>{"diameter_bin_center"}));

  // N(D): stored values equal the single-precision figures, missing ones are the fill value.
  EXPECT_EQ(nc.DimsOf("drop_number_concentration"),
            (std::vector<std::string>{"time", "diameter_bin_center"}));
  EXPECT_EQ(nc.Text("drop_number_concentration", "units"), "m-3 mm-1");
  EXPECT_EQ(nc.Number("drop_number_concentration", "_FillValue"), DsdNetcdfWriter::FILL);
  const float F = DsdNetcdfWriter::FILL;
  const float a = float(1234.5678), c = 17.25f, d = float(3.0e-3);
  EXPECT_EQ(nc.Floats("drop_number_concentration"),
            (std::vector<float>{a, 0, c, d, F, F, F, F, a, F, c, d}));

  // The interval's figures.
  EXPECT_EQ(nc.Floats("R"), (std::vector<float>{2.5f, F, 2.5f}));
  EXPECT_EQ(nc.Text("R", "units"), "mm h-1");
  EXPECT_EQ(nc.Text("R", "standard_name"), "rainfall_rate");
  EXPECT_EQ(nc.Floats("P"), (std::vector<float>{float(0.0417), float(0.0417), float(0.0417)}));
  EXPECT_EQ(nc.Text("P", "units"), "mm");
  EXPECT_EQ(nc.Ints("N"), (std::vector<int>{120, 7, 3}));
  EXPECT_EQ(nc.Ints("interval_complete"), (std::vector<int>{1, 0, 1}));
  EXPECT_EQ(nc.Text("interval_complete", "flag_meanings"), "partial complete");
  for (const char *name :
       {"drop_number_concentration", "R", "P", "N", "interval_complete", "Nt", "LWC"})
    EXPECT_NE(nc.Text(name, "long_name"), "<none>") << name;

  // The moments, with their units.
  const std::pair<const char *, const char *> units[] = {
      {"Nt", "m-3"}, {"LWC", "g m-3"},   {"Z", "dBZ"}, {"Dm", "mm"},
      {"D50", "mm"}, {"Nw", "mm-1 m-3"}, {"mu", "1"},  {"Lambda", "mm-1"}};
  for (const auto &[name, unit] : units) {
    EXPECT_EQ(nc.Text(name, "units"), unit) << name;
    EXPECT_EQ(nc.Number(name, "_FillValue"), F) << name;
  }
  EXPECT_EQ(nc.Floats("Z"), (std::vector<float>{28.4f, F, 28.4f}));
  EXPECT_EQ(nc.Floats("mu"), (std::vector<float>{2.0f, F, 2.0f}));
  EXPECT_EQ(nc.Floats("Nw"), (std::vector<float>{8000.0f, 8000.0f, 8000.0f}));

  // Global attributes: the conventions, and the later of two equal names.
  EXPECT_EQ(nc.Text("", "Conventions"), "CF-1.8");
  EXPECT_EQ(nc.Text("", "title"), "Drops at the field site");
  EXPECT_EQ(nc.Text("", "institution"), "");
  EXPECT_DOUBLE_EQ(nc.Number("", "line_frequency"), 34090.857142857145);
  EXPECT_NE(nc.Text("", "pluvicam_version"), "<none>");
}

// What other tools see of a product before reading a value: the variables and their attributes
// in order, how the series are stored, the flag values.
TEST_F(DsdNetcdfWriterTest, TheProductsHeader) {
  const std::string path = Path("day.nc");
  DsdNetcdfWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Create(path, Layout(true), {}, &error)) << error;
  ASSERT_TRUE(writer.Append(Row(T0, 60, 120), &error)) << error;
  ASSERT_TRUE(writer.Finish(&error)) << error;

  NcFile nc(path);
  ASSERT_TRUE(nc.Ok());
  using Names = std::vector<std::string>;
  const Names measured = {"standard_name", "long_name", "units", "cell_methods", "_FillValue"};
  const Names moment = {"long_name", "units", "_FillValue"};
  const std::pair<const char *, Names> variables[] = {
      {"time", {"standard_name", "long_name", "units", "calendar", "axis", "bounds"}},
      {"time_bnds", {}},
      {"diameter_bin_center", {"long_name", "units"}},
      {"diameter_bin_width", {"long_name", "units"}},
      {"diameter_bin_lower", {"long_name", "units"}},
      {"diameter_bin_upper", {"long_name", "units"}},
      {"velocity_bin_center", {"long_name", "units"}},
      {"velocity_bin_width", {"long_name", "units"}},
      {"velocity_bin_lower", {"long_name", "units"}},
      {"velocity_bin_upper", {"long_name", "units"}},
      {"sample_interval", {"long_name", "units", "_FillValue"}},
      {"drop_number_concentration", {"long_name", "units", "cell_methods", "_FillValue"}},
      {"drop_counts", {"long_name", "units", "cell_methods"}},
      {"raw_drop_number", {"long_name", "units", "cell_methods"}},
      {"drop_average_velocity", {"long_name", "units", "cell_methods", "_FillValue"}},
      {"fall_velocity", {"long_name", "units"}},
      {"N", {"long_name", "units", "cell_methods"}},
      {"Nremoved", {"long_name", "units", "cell_methods"}},
      {"R", measured},
      {"P", measured},
      {"Nt", moment},
      {"LWC", moment},
      {"Z", {"standard_name", "long_name", "units", "_FillValue"}},
      {"Dm", moment},
      {"D50", moment},
      {"Nw", moment},
      {"mu", moment},
      {"Lambda", moment},
      {"interval_complete", {"long_name", "flag_values", "flag_meanings"}}};
  for (const auto &[name, attributes] : variables) {
    EXPECT_TRUE(nc.HasVar(name)) << name;
    EXPECT_EQ(nc.AttNames(name), attributes) << name;
  }
  EXPECT_EQ(nc.VarNames().size(), std::size(variables));
  EXPECT_EQ(nc.Text("Z", "standard_name"), "equivalent_reflectivity_factor");
  EXPECT_EQ(nc.Text("drop_number_concentration", "cell_methods"), "time: mean");
  EXPECT_EQ(nc.Text("P", "cell_methods"), "time: sum");
  EXPECT_EQ(nc.Ints("interval_complete"), std::vector<int>{1});
  EXPECT_EQ(nc.IntAtt("interval_complete", "flag_values"), (std::vector<int>{0, 1}));
  const Names global = nc.AttNames("");
  ASSERT_GE(global.size(), 2u);
  EXPECT_EQ(Names(global.begin(), global.begin() + 2), (Names{"Conventions", "pluvicam_version"}));

  // A row per call would be slow to write and read: the series lie in chunks of many rows, and
  // the mostly empty N(D) is compressed.
  EXPECT_EQ(nc.Chunks("time"), std::vector<size_t>{1024});
  EXPECT_EQ(nc.Chunks("time_bnds"), (std::vector<size_t>{1024, 2}));
  EXPECT_EQ(nc.Chunks("Nw"), std::vector<size_t>{1024});
  EXPECT_EQ(nc.Chunks("drop_number_concentration"), (std::vector<size_t>{32768, 4}));
  EXPECT_EQ(nc.Deflate("drop_number_concentration"), 1);
  EXPECT_EQ(nc.Deflate("R"), 0);
  EXPECT_EQ(nc.Chunks("raw_drop_number"), (std::vector<size_t>{655, 4, 100}));
  EXPECT_EQ(nc.Deflate("raw_drop_number"), 1);
  EXPECT_TRUE(nc.Chunks("diameter_bin_center").empty());
}

TEST_F(DsdNetcdfWriterTest, AGlobalAttributeOfTheProductsOwnIsRefused) {
  for (const char *name : {"Conventions", "featureType", "PLUVICAM_VERSION"}) {
    DsdProductLayout layout = Layout(false);
    layout.attributes.emplace_back(name, std::string("mine"));
    DsdNetcdfWriter writer;
    std::string error;
    EXPECT_FALSE(writer.Create(Path("day.nc"), layout, {}, &error)) << name;
    EXPECT_NE(error.find(std::string("\"") + name + "\" is the product's own"), std::string::npos)
        << error;
    EXPECT_FALSE(writer.IsOpen());
    EXPECT_TRUE(Leftovers(dir).empty()) << name;
  }
}

TEST_F(DsdNetcdfWriterTest, LongSeriesWithoutMomentsKeepsItsOrder) {
  // More rows than one block, so that later blocks land behind earlier ones.
  const std::string path = Path("long.nc");
  DsdNetcdfWriter writer;
  std::string error;
  ASSERT_TRUE(writer.Create(path, Layout(false), {}, &error)) << error;
  const int rows = 2600;
  for (int i = 0; i < rows; ++i) {
    DsdProductRow row = Row(T0 + 15.0 * i, 15, i);
    row.nd[2] = i;
    ASSERT_TRUE(writer.Append(row, &error)) << error;
  }
  EXPECT_EQ(writer.Rows(), size_t(rows));
  ASSERT_TRUE(writer.Finish(&error)) << error;

  NcFile nc(path);
  ASSERT_TRUE(nc.Ok());
  EXPECT_FALSE(nc.HasVar("Nt"));
  EXPECT_FALSE(nc.HasVar("Lambda"));
  const auto time = nc.Doubles("time");
  const auto counts = nc.Ints("N");
  const auto nd = nc.Floats("drop_number_concentration");
  ASSERT_EQ(time.size(), size_t(rows));
  ASSERT_EQ(nd.size(), size_t(rows) * 4);
  for (int i = 0; i < rows; i += 97) {
    EXPECT_EQ(time[size_t(i)], T0 + 15.0 * i);
    EXPECT_EQ(counts[size_t(i)], i);
    EXPECT_EQ(nd[size_t(i) * 4 + 2], float(i));
  }
  EXPECT_EQ(counts.back(), rows - 1);
}

TEST_F(DsdNetcdfWriterTest, NothingIsLeftBehindOrClobberedWhenAnExportDoesNotFinish) {
  const std::string path = Path("kept.nc");
  std::string error;
  {
    DsdNetcdfWriter first;
    ASSERT_TRUE(first.Create(path, Layout(false), {}, &error)) << error;
    ASSERT_TRUE(first.Append(Row(T0, 60, 1), &error));
    ASSERT_TRUE(first.Finish(&error)) << error;
  }
  const auto size = std::filesystem::file_size(path);

  // Cancelled: the earlier product stays as it was, no temporary file remains.
  {
    DsdNetcdfWriter cancelled;
    ASSERT_TRUE(cancelled.Create(path, Layout(true), {}, &error)) << error;
    for (int i = 0; i < 1500; ++i)
      ASSERT_TRUE(cancelled.Append(Row(T0 + 60.0 * i, 60, i), &error));
    cancelled.Abandon();
    EXPECT_FALSE(cancelled.IsOpen());
    EXPECT_FALSE(cancelled.Finish(&error));
  }
  // Dropped without Finish.
  {
    DsdNetcdfWriter dropped;
    ASSERT_TRUE(dropped.Create(Path("dropped.nc"), Layout(true), {}, &error)) << error;
    ASSERT_TRUE(dropped.Append(Row(T0, 60, 1), &error));
  }
  // A row that does not fit the classes abandons the file with a message.
  {
    DsdNetcdfWriter bad;
    ASSERT_TRUE(bad.Create(Path("bad.nc"), Layout(false), {}, &error)) << error;
    DsdProductRow row = Row(T0, 60, 1);
    row.nd.push_back(1.0);
    EXPECT_FALSE(bad.Append(row, &error));
    EXPECT_NE(error.find("5 diameter classes instead of 4"), std::string::npos) << error;
    EXPECT_FALSE(bad.IsOpen());
  }
  EXPECT_EQ(Leftovers(dir), std::vector<std::string>{"kept.nc"});
  EXPECT_EQ(std::filesystem::file_size(path), size);
  NcFile nc(path);
  ASSERT_TRUE(nc.Ok());
  EXPECT_EQ(nc.Dim("time"), 1);

  // Where nothing can be written, the message names the file.
  DsdNetcdfWriter nowhere;
  const std::string missing = Path("no-such-folder/out.nc");
  EXPECT_FALSE(nowhere.Create(missing, Layout(false), {}, &error));
  EXPECT_NE(error.find(missing), std::string::npos) << error;
  DsdProductLayout empty = Layout(false);
  empty.classCount = 0;
  EXPECT_FALSE(nowhere.Create(Path("empty.nc"), empty, {}, &error));
  // An attribute name the format refuses.
  DsdProductLayout badName = Layout(false);
  badName.attributes.push_back({"bad/name", std::string("x")});
  EXPECT_FALSE(nowhere.Create(Path("badname.nc"), badName, {}, &error));
  EXPECT_NE(error.find("bad/name"), std::string::npos) << error;
  EXPECT_EQ(Leftovers(dir), std::vector<std::string>{"kept.nc"});
}

// The counts per class and per velocity class, and the same product in memory, byte for byte.
TEST_F(DsdNetcdfWriterTest, CountsPerClassAndTheProductInMemory) {
  DsdProductRow row = Row(T0, 60, 4);
  row.removed = 2;
  row.counts = {3, 0, 1, 0};
  row.meanVelocity = {4.25, std::nan(""), 6.5, std::nan("")};
  row.raw.assign(4 * 100, 0);
  row.raw[0 * 100 + 21] = 2; // 4.2 to 4.4 m/s
  row.raw[0 * 100 + 22] = 1;
  row.raw[2 * 100 + 32] = 1;
  DsdProductRow empty = Row(T0 + 60, 60, 0);
  const std::string path = Path("day.nc");
  std::string error;
  DsdNetcdfWriter file, memory;
  ASSERT_TRUE(file.Create(path, Layout(true), {}, &error)) << error;
  ASSERT_TRUE(memory.CreateInMemory(Layout(true), &error)) << error;
  for (DsdNetcdfWriter *w : {&file, &memory}) {
    ASSERT_TRUE(w->Append(row, &error)) << error;
    ASSERT_TRUE(w->Append(empty, &error)) << error;
  }
  ASSERT_TRUE(file.Finish(&error)) << error;
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(memory.FinishInMemory(bytes, &error)) << error;
  EXPECT_EQ(FileBytes(path), bytes);

  NcFile nc(path);
  ASSERT_TRUE(nc.Ok());
  EXPECT_EQ(nc.Ints("drop_counts"), (std::vector<int>{3, 0, 1, 0, 0, 0, 0, 0}));
  EXPECT_EQ(nc.Ints("Nremoved"), (std::vector<int>{2, 0}));
  const float F = DsdNetcdfWriter::FILL;
  EXPECT_EQ(nc.Floats("drop_average_velocity"),
            (std::vector<float>{4.25f, F, 6.5f, F, F, F, F, F}));
  const auto raw = nc.Ints("raw_drop_number");
  ASSERT_EQ(raw.size(), 2u * 4 * 100);
  EXPECT_EQ(raw[21], 2);
  EXPECT_EQ(raw[2 * 100 + 32], 1);
  EXPECT_EQ(std::accumulate(raw.begin(), raw.end(), 0), 4);
  EXPECT_EQ(nc.Floats("sample_interval"), (std::vector<float>{60, 60}));
  EXPECT_FLOAT_EQ(nc.Floats("fall_velocity")[0], 0.3825f) << "between 0.1 and 0.2 mm";

  // An interval whose classes do not fit the product's is refused.
  DsdNetcdfWriter bad;
  ASSERT_TRUE(bad.CreateInMemory(Layout(false), &error)) << error;
  row.raw.pop_back();
  EXPECT_FALSE(bad.Append(row, &error));
  EXPECT_NE(error.find("classes do not match"), std::string::npos) << error;
}
