// The lines printed while the console screen does not exist yet.
#pragma once
#include <string>
#include <vector>

const std::vector<std::string>& SB_PrintedLines();
void SB_ClearPrintedLines();
