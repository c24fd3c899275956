// Files replaced in one step now live in the base layer, where the calibration file uses them too.
#pragma once

#include "base/safe_file.h"
