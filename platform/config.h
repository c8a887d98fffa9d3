// Where the program keeps the user's own files (WIN.INI switches, registry,
// run log): $ZENTROVA_CONFIG_DIR, else $XDG_CONFIG_HOME/zentrova, else
// ~/.config/zentrova. Tests point it at a temporary folder.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

const std::string& ConfigDir();
// Overrides the directory (empty: back to the environment's choice) and
// drops everything the profile and registry stand-ins had cached.
void SetConfigDir(const std::string& dir);
// The full path of a file in the configuration directory.
std::string ConfigFile(const std::string& name);
// Creates the directory when missing; false when it cannot be made.
bool EnsureConfigDir();

// Replaces a file whole with the text: written beside it, then renamed, so
// that a crash never leaves it half written. False on failure.
bool WriteFileAtomically(const std::string& path, const std::string& text);
// Reads a whole file; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& out);

}  // namespace plat

namespace plat {
// The system's primary-language number, from the locale (English when
// unknown).
uint32_t SystemLanguageId();
}  // namespace plat
