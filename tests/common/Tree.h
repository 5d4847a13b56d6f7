// What a folder holds, for tests that must find it unchanged: every entry
// (links not followed) with its kind, permission bits and content or link
// target, and the folder's own permission bits under ".".
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace kirmel::test {

std::map<std::string, std::string> DescribeTree(const std::filesystem::path& dir);

// The names directly in `dir`, sorted.
std::vector<std::string> EntryNames(const std::filesystem::path& dir);

}  // namespace kirmel::test
