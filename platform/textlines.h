// Small text helpers shared by the stand-ins that keep text files.
#pragma once
#include <string>
#include <vector>

namespace plat {

// Splits at "\r\n", "\n" or "\r"; a last line without its end is kept.
std::vector<std::string> SplitLines(const std::string& text);
std::string Trim(const std::string& text);
// True when the text holds no control characters other than tab.
bool IsPrintableText(const std::string& text);

}  // namespace plat
