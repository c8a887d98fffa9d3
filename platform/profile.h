// The WIN.INI profile: sections of key=value lines in "win.ini" in the
// configuration directory. Section and key names match without regard to
// case, as on the original. Lines that are not sections, keys, comments or
// blank are dropped and the file is rewritten without them.
#pragma once
#include <string>

namespace plat {

// The value of key in section, or the default when either is missing.
std::string GetProfileString(const std::string& section, const std::string& key,
                             const std::string& fallback);

// Forgets the cached file so that the next read loads it again.
void ProfileForget();

}  // namespace plat
