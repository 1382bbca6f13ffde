#pragma once

// The files the program keeps beside its executable.
namespace ListFiles {

inline constexpr const char* kSettings = "velmora.ini";
inline constexpr const char* kNecessaryBrands = "ListNecessaryBrands.txt";
inline constexpr const char* kCompareIds = "ListIDsShopsForCompare.txt";
inline constexpr const char* kAnalysisIds = "ListIDsShopsForAnalis.txt";
inline constexpr const char* kGarage = "MyGarage.txt";
inline constexpr const char* kPages = "OpenPages.txt";
inline constexpr const char* kDownloads = "UrlsForPriceLists.txt";

} // namespace ListFiles
