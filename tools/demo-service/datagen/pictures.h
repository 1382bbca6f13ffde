#pragma once

#include <string>

// A small baseline JPEG of a part-like shape; `variant` picks shape and colours.
std::string MakePartPicture(int variant);
