#pragma once

// The help pages by their string ids: a panel asks for one, the application shows its file.
namespace HelpPages {
constexpr int MANUAL = 61447;
constexpr int DSD = 61448;
constexpr int HVEL = 61449;
constexpr int VVEL = 61450;
constexpr int RAIN_RATE = 61451;
constexpr int DROP_VIEW = 61452;
constexpr int OBLATENESS = 61453;
constexpr int OBLATENESS_DISTRIBUTION = 61454;
} // namespace HelpPages
