#pragma once

// Catalog answers for the benchmarks, in the service's layout and as messy as the catalog is:
// repeated brands and fuels, umlauts and Cyrillic, criteria and terms of varying length.

#include <cstddef>
#include <string>

// Vehicle types ("getTypes") up to about `bytes`.
std::string typesAnswer(std::size_t bytes);
// Products of a category ("GetListArticlesFromTreeCategory"): records until the answer reaches
// about `bytes` or holds `count` of them, whichever comes first; each with 2 to `mostCriteria`
// criteria.
std::string articlesAnswer(std::size_t bytes, long count, long mostCriteria = 12);
