#include "core/search/size_text.h"

#include <array>
#include <cmath>
#include <cstdio>

namespace xyx {

namespace {

constexpr double kTolerance = 0.0000001;

Text WriteNumber(double v) {
  std::array<char, 64> buf{};
  std::snprintf(buf.data(), buf.size(), "%.13g", v);
  return Text(buf.data());
}

// Halves away from zero, with a small epsilon so that 1.005-like values written in binary a
// hair below the half still round up.
double RoundTwoDecimals(double v) {
  const double f = std::fabs(v) * 100 + 0.000000000001;
  const double whole = std::floor(f);
  const double r = (f - whole >= 0.5) ? (whole + 1) / 100 : whole / 100;
  return v < 0 ? -r : r;
}

}  // namespace

Text SizeText(double v) {
  if (v - 1024 < -kTolerance) return WriteNumber(v) + " B";
  static constexpr std::array<const char*, 4> kUnits{" KB", " MB", " GB", " TB"};
  for (const char* unit : kUnits) {
    v /= 1024;
    if (v - 1024 < -kTolerance) return WriteNumber(RoundTwoDecimals(v)) + unit;
  }
  v /= 1024;
  return WriteNumber(RoundTwoDecimals(v)) + " PB";
}

}  // namespace xyx
