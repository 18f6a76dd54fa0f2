#pragma once

#include "core/text/local_text.h"

namespace xyx {

// A byte count with a unit of powers of 1024 (" B" up to " PB"), rounded to two decimals
// from KB on, written with at most 13 significant digits.
Text SizeText(double bytes);

}  // namespace xyx
