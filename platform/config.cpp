// The user's configuration directory and whole-file helpers for it.
#include "platform/config.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/profile.h"
#include "platform/registry.h"

namespace plat {
namespace {
std::string g_override;
std::string g_resolved;

std::string FromEnvironment() {
  if (const char* dir = std::getenv("ZENTROVA_CONFIG_DIR"); dir && *dir) return dir;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    return std::string(xdg) + "/zentrova";
  if (const char* home = std::getenv("HOME"); home && *home)
    return std::string(home) + "/.config/zentrova";
  return ".zentrova";
}
}  // namespace

const std::string& ConfigDir() {
  if (!g_override.empty()) return g_override;
  if (g_resolved.empty()) g_resolved = FromEnvironment();
  return g_resolved;
}

void SetConfigDir(const std::string& dir) {
  g_override = dir;
  g_resolved.clear();
  ProfileForget();
  RegistryForget();
}

std::string ConfigFile(const std::string& name) { return ConfigDir() + "/" + name; }

bool EnsureConfigDir() {
  std::error_code ec;
  std::filesystem::create_directories(ConfigDir(), ec);
  return std::filesystem::is_directory(ConfigDir(), ec);
}

bool WriteFileAtomically(const std::string& path, const std::string& text) {
  if (!EnsureConfigDir()) return false;
  const std::string temp = path + ".new";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out.flush()) return false;
  }
  std::error_code ec;
  std::filesystem::rename(temp, path, ec);
  if (ec) {
    std::filesystem::remove(temp, ec);
    return false;
  }
  return true;
}

bool ReadWholeFile(const std::string& path, std::string& out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream buffer;
  buffer << in.rdbuf();
  out = buffer.str();
  return true;
}

}  // namespace plat

namespace plat {

uint32_t SystemLanguageId() {
  static const struct {
    const char* code;
    uint32_t id;
  } languages[] = {{"de", 0x07}, {"en", 0x09}, {"es", 0x0A}, {"fr", 0x0C}, {"it", 0x10},
                   {"ja", 0x11}, {"nl", 0x13}, {"pt", 0x16}, {"sv", 0x1D}};
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (!value || !*value) continue;
    for (const auto& language : languages)
      if (std::string(value).compare(0, 2, language.code) == 0) return language.id;
    break;
  }
  return 0x09;
}

}  // namespace plat
