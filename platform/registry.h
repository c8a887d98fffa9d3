// Registry stand-in: keys under the local machine root holding named
// values (a type code and raw bytes), kept in "registry.txt" in the
// configuration directory. Key and value names match without regard to
// case. Every change is saved at once.
#pragma once
#include <cstdint>
#include <string>

namespace plat {

// Type codes of stored values, as the original's registry used them.
constexpr uint32_t kRegString = 1;       // text with its terminator
constexpr uint32_t kRegExpandString = 2;
constexpr uint32_t kRegBinary = 3;
constexpr uint32_t kRegNumber = 4;       // 32-bit little-endian
constexpr uint32_t kRegMultiString = 7;  // texts, each terminated, then an empty one

using RegKey = int;  // 0 is no key

RegKey RegCreateKey(const std::string& path);  // creates or opens
RegKey RegOpenKey(const std::string& path);    // 0 when the key does not exist
bool RegSetValue(RegKey key, const std::string& name, uint32_t type, const void* data,
                 uint32_t size);
// Copies the value into buffer (capacity *size) and sets *size to its
// length; fails, with *size set to the length, when the buffer is smaller.
bool RegQueryValue(RegKey key, const std::string& name, uint32_t* type, void* buffer,
                   uint32_t* size);
bool RegFlushKey(RegKey key);
bool RegCloseKey(RegKey key);

// Forgets the cached store and every open key.
void RegistryForget();

}  // namespace plat
