#pragma once

// The engine's names of the amp heads: the amp selector's models, and the
// names the plug-in's engine units select them by.
namespace AudioEngine::BorvanQom::AmpModelNames {

inline constexpr const char* kRE500 = "RE500";
inline constexpr const char* kV9E = "V9E";
inline constexpr const char* kRKMClassic = "RKMClassic";
inline constexpr const char* kRKM4Pro = "RKM4Pro";

} // namespace AudioEngine::BorvanQom::AmpModelNames
