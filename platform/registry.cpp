// Registry stand-in kept as a text file of sections and hex-encoded values.
#include "platform/registry.h"

#include <cstring>
#include <map>
#include <optional>
#include <strings.h>
#include <vector>

#include "platform/config.h"
#include "platform/textlines.h"

namespace plat {
namespace {

struct Value {
  std::string name;
  uint32_t type = 0;
  std::string bytes;
};
struct Key {
  std::string path;
  std::vector<Value> values;
};

std::optional<std::vector<Key>> g_keys;
std::map<RegKey, std::string> g_open;
RegKey g_nextHandle = 1;

bool SameName(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

// Names are written with %XX for the characters that carry meaning in the
// file, so that any name survives the round trip.
std::string Escape(const std::string& text) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x20 || c >= 0x7F || c == '%' || c == '[' || c == ']' || c == '=') {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unescape(const std::string& text, std::string& out) {
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    const int high = HexDigit(text[i + 1]), low = HexDigit(text[i + 2]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
    i += 2;
  }
  return true;
}

bool DecodeHex(const std::string& text, std::string& out) {
  if (text.size() % 2) return false;
  out.clear();
  for (size_t i = 0; i < text.size(); i += 2) {
    const int high = HexDigit(text[i]), low = HexDigit(text[i + 1]);
    if (high < 0 || low < 0) return false;
    out += static_cast<char>(high * 16 + low);
  }
  return true;
}

std::string EncodeHex(const std::string& bytes) {
  static const char* hex = "0123456789abcdef";
  std::string out;
  for (unsigned char c : bytes) {
    out += hex[c >> 4];
    out += hex[c & 15];
  }
  return out;
}

// One value line: name=type:hexbytes.
bool ParseValue(const std::string& line, Value& value) {
  const size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  const size_t colon = line.find(':', eq + 1);
  if (colon == std::string::npos || colon == eq + 1 || colon - eq - 1 > 10) return false;
  uint64_t type = 0;
  for (size_t i = eq + 1; i < colon; ++i) {
    if (line[i] < '0' || line[i] > '9') return false;
    type = type * 10 + static_cast<uint64_t>(line[i] - '0');
  }
  if (type > 0xFFFFFFFFu) return false;
  value.type = static_cast<uint32_t>(type);
  return Unescape(line.substr(0, eq), value.name) &&
         DecodeHex(line.substr(colon + 1), value.bytes);
}

bool Parse(const std::string& text, std::vector<Key>& keys) {
  bool clean = true;
  Key* current = nullptr;
  for (const std::string& line : SplitLines(text)) {
    if (line.empty()) continue;
    if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
      Key key;
      if (!Unescape(line.substr(1, line.size() - 2), key.path)) {
        clean = false;
        current = nullptr;
        continue;
      }
      keys.push_back(key);
      current = &keys.back();
      continue;
    }
    Value value;
    if (!current || !ParseValue(line, value)) {
      clean = false;
      continue;
    }
    current->values.push_back(value);
  }
  return clean;
}

std::string Format(const std::vector<Key>& keys) {
  std::string text;
  for (const Key& key : keys) {
    text += '[';
    text += Escape(key.path);
    text += "]\n";
    for (const Value& v : key.values)
      text += Escape(v.name) + "=" + std::to_string(v.type) + ":" + EncodeHex(v.bytes) + "\n";
  }
  return text;
}

std::string StorePath() { return ConfigFile("registry.txt"); }

std::vector<Key>& Store() {
  if (!g_keys) {
    g_keys.emplace();
    std::string text;
    if (ReadWholeFile(StorePath(), text) && !Parse(text, *g_keys))
      WriteFileAtomically(StorePath(), Format(*g_keys));
  }
  return *g_keys;
}

bool Save() { return WriteFileAtomically(StorePath(), Format(Store())); }

Key* FindKey(const std::string& path) {
  for (Key& key : Store())
    if (SameName(key.path, path)) return &key;
  return nullptr;
}

Key* KeyOf(RegKey handle) {
  auto it = g_open.find(handle);
  return it == g_open.end() ? nullptr : FindKey(it->second);
}

RegKey NewHandle(const std::string& path) {
  const RegKey handle = g_nextHandle++;
  g_open[handle] = path;
  return handle;
}

}  // namespace

RegKey RegCreateKey(const std::string& path) {
  if (!FindKey(path)) {
    Store().push_back({path, {}});
    if (!Save()) {
      Store().pop_back();
      return 0;
    }
  }
  return NewHandle(path);
}

RegKey RegOpenKey(const std::string& path) { return FindKey(path) ? NewHandle(path) : 0; }

bool RegSetValue(RegKey handle, const std::string& name, uint32_t type, const void* data,
                 uint32_t size) {
  Key* key = KeyOf(handle);
  if (!key || (size && !data)) return false;
  std::string bytes(static_cast<const char*>(data), size);
  for (Value& v : key->values) {
    if (SameName(v.name, name)) {
      v.type = type;
      v.bytes = bytes;
      return Save();
    }
  }
  key->values.push_back({name, type, bytes});
  return Save();
}

bool RegQueryValue(RegKey handle, const std::string& name, uint32_t* type, void* buffer,
                   uint32_t* size) {
  Key* key = KeyOf(handle);
  if (!key || !size) return false;
  for (const Value& v : key->values) {
    if (!SameName(v.name, name)) continue;
    if (type) *type = v.type;
    const bool fits = v.bytes.size() <= *size;
    *size = static_cast<uint32_t>(v.bytes.size());
    if (!fits || (!buffer && !v.bytes.empty())) return false;
    if (!v.bytes.empty()) std::memcpy(buffer, v.bytes.data(), v.bytes.size());
    return true;
  }
  return false;
}

bool RegFlushKey(RegKey handle) { return KeyOf(handle) && Save(); }

bool RegCloseKey(RegKey handle) { return g_open.erase(handle) == 1; }

void RegistryForget() {
  g_keys.reset();
  g_open.clear();
}

}  // namespace plat
