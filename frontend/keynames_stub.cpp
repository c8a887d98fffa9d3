// The key-name table comes with the front end; until then a name is taken
// by its first character, the table's own fallback, so that single letters
// and digits already work. Weak, so that tests can put a fake in its place.
#include "frontend/keynames.h"

__attribute__((weak)) int32_t KeyNameToCode(const char* name) {
  return name ? static_cast<signed char>(name[0]) : 0;
}
