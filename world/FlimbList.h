#pragma once
// A list of flimbs made by a query; it belongs to the caller.
#include <vector>

struct Flimb;
using FlimbList = std::vector<Flimb*>;
