// The preference file: one JSON object,
//   {"version": 1, "plugins": {"1061771": {"1100": {"bool": true},
//                                          "1101": {"float": 1.0},
//                                          "1102": {"int": 0}}}}
// one container per plug-in id, each key holding exactly one typed value.
// Floats follow json_numbers.h, so they read back bit for bit.
#pragma once

#include "container.h"

#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace hostemu {

using PluginContainers = std::map<int32_t, HostContainer>;

// Reads the text of a preference file into out (a container's id is its
// plug-in id). Empty when it is sound; otherwise one line naming file and the
// place in it (line and column, or the member), and out is left empty.
std::string parsePreferences(std::string_view text, const std::filesystem::path &file, PluginContainers &out);

std::string formatPreferences(const PluginContainers &plugins);

}  // namespace hostemu
