// Drive letters over host directories, with case-insensitive lookup.
#include "platform/fs.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>

namespace plat {
namespace {

std::optional<std::vector<DriveConfig>> g_drives;
std::string g_currentDir;  // physical, e.g. "C:/GAME"
ReadObserver g_readObserver = nullptr;

bool ParseKind(const std::string& kind, DriveType& type) {
  static const struct {
    const char* name;
    DriveType type;
  } kinds[] = {{"fixed", DriveType::Fixed},   {"removable", DriveType::Removable},
               {"cdrom", DriveType::CdRom},   {"remote", DriveType::Remote},
               {"other", DriveType::RamDisk}, {"ramdisk", DriveType::RamDisk}};
  for (const auto& k : kinds) {
    if (strcasecmp(kind.c_str(), k.name) == 0) {
      type = k.type;
      return true;
    }
  }
  return false;
}

std::string ExecutableDir() {
  std::string path = ProgramPath();
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : path.substr(0, slash);
}

std::vector<DriveConfig> DefaultDrives() {
  std::vector<DriveConfig> drives;
  if (const char* spec = std::getenv("ZENTROVA_DRIVES"); spec && *spec) {
    if (ParseDriveSpec(spec, drives)) return drives;
    drives.clear();
  }
  std::error_code ec;
  std::string root = ExecutableDir() + "/data";
  if (!std::filesystem::is_directory(root, ec)) root = std::filesystem::current_path(ec).string();
  drives.push_back({'C', DriveType::Fixed, "", root});
  return drives;
}

std::vector<DriveConfig>& Drives() {
  if (!g_drives) g_drives = DefaultDrives();
  return *g_drives;
}

const DriveConfig* FindDrive(char letter) {
  letter = static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
  for (const DriveConfig& d : Drives())
    if (d.letter == letter) return &d;
  return nullptr;
}

std::string Canonical(const std::string& path) {
  std::error_code ec;
  auto canonical = std::filesystem::weakly_canonical(path, ec);
  return ec ? path : canonical.string();
}

// The current directory the program starts in: the host's working
// directory when it lies on a drive, else the first fixed drive's root.
std::string DefaultCurrentDir() {
  std::error_code ec;
  const std::string cwd = Canonical(std::filesystem::current_path(ec).string());
  for (const DriveConfig& d : Drives()) {
    const std::string root = Canonical(d.hostRoot);
    if (cwd == root) return std::string(1, d.letter) + ":/";
    if (cwd.size() > root.size() && cwd.compare(0, root.size(), root) == 0 &&
        cwd[root.size()] == '/') {
      std::string rest = cwd.substr(root.size() + 1);
      std::transform(rest.begin(), rest.end(), rest.begin(), ::toupper);
      return std::string(1, d.letter) + ":/" + rest;
    }
  }
  for (const DriveConfig& d : Drives())
    if (d.type == DriveType::Fixed) return std::string(1, d.letter) + ":/";
  return Drives().empty() ? std::string() : std::string(1, Drives().front().letter) + ":/";
}

// Splits "C:/A\B" into its letter and components; false when it is not a
// drive path. A ".." takes back the component before it; at the drive's
// root it stays there, as on the original, so nothing above a drive's
// host folder is ever reached.
bool SplitPhysical(const std::string& physical, char& letter, std::vector<std::string>& parts) {
  if (physical.size() < 2 || physical[1] != ':' ||
      !std::isalpha(static_cast<unsigned char>(physical[0])))
    return false;
  letter = physical[0];
  std::string part;
  for (size_t i = 2; i <= physical.size(); ++i) {
    const char c = i < physical.size() ? physical[i] : '/';
    if (c != '/' && c != '\\') {
      part += c;
      continue;
    }
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      part.clear();
      continue;
    }
    if (!part.empty() && part != ".") parts.push_back(part);
    part.clear();
  }
  return true;
}

// The entry of dir whose name matches without regard to case: the exact
// name first, else the first match in sorted order.
bool MatchEntry(const std::string& dir, const std::string& name, std::string& found) {
  struct stat st;
  if (::lstat((dir + "/" + name).c_str(), &st) == 0) {
    found = name;
    return true;
  }
  DIR* handle = ::opendir(dir.c_str());
  if (!handle) return false;
  std::vector<std::string> matches;
  while (dirent* entry = ::readdir(handle))
    if (strcasecmp(entry->d_name, name.c_str()) == 0) matches.push_back(entry->d_name);
  ::closedir(handle);
  if (matches.empty()) return false;
  found = *std::min_element(matches.begin(), matches.end());
  return true;
}

}  // namespace

bool ParseDriveSpec(const std::string& spec, std::vector<DriveConfig>& drives) {
  size_t start = 0;
  while (start <= spec.size()) {
    size_t end = spec.find(';', start);
    if (end == std::string::npos) end = spec.size();
    const std::string entry = spec.substr(start, end - start);
    start = end + 1;
    if (entry.empty()) continue;
    const size_t colon = entry.find(':');
    if (entry.size() < 4 || entry[1] != '=' || colon == std::string::npos ||
        !std::isalpha(static_cast<unsigned char>(entry[0])) || colon + 1 >= entry.size())
      return false;
    DriveConfig drive;
    drive.letter = static_cast<char>(std::toupper(static_cast<unsigned char>(entry[0])));
    std::string kind = entry.substr(2, colon - 2);
    if (const size_t comma = kind.find(','); comma != std::string::npos) {
      drive.label = kind.substr(comma + 1);
      kind.resize(comma);
    }
    if (!ParseKind(kind, drive.type)) return false;
    drive.hostRoot = entry.substr(colon + 1);
    drives.push_back(drive);
  }
  std::sort(drives.begin(), drives.end(),
            [](const DriveConfig& a, const DriveConfig& b) { return a.letter < b.letter; });
  return !drives.empty();
}

void ConfigureDrives(const std::vector<DriveConfig>& drives) {
  if (drives.empty()) {
    g_drives.reset();
  } else {
    g_drives = drives;
    std::sort(g_drives->begin(), g_drives->end(),
              [](const DriveConfig& a, const DriveConfig& b) { return a.letter < b.letter; });
  }
  g_currentDir.clear();
  for (const DriveConfig& d : Drives()) {
    if (d.type == DriveType::Fixed) {
      g_currentDir = std::string(1, d.letter) + ":/";
      break;
    }
  }
}

std::vector<DriveConfig> ListDrives() { return Drives(); }

bool GetVolumeLabel(char letter, std::string& label) {
  const DriveConfig* drive = FindDrive(letter);
  if (!drive) return false;
  label = drive->label;
  return true;
}

std::string GetCurrentDirectory() {
  if (g_currentDir.empty()) g_currentDir = DefaultCurrentDir();
  return g_currentDir;
}

bool SetCurrentDirectory(const std::string& physical) {
  std::string host;
  struct stat st;
  if (!ResolveHostPath(physical, false, host) || ::stat(host.c_str(), &st) != 0 ||
      !S_ISDIR(st.st_mode))
    return false;
  g_currentDir = physical;
  return true;
}

bool ResolveHostPath(const std::string& physical, bool forCreate, std::string& host) {
  char letter = 0;
  std::vector<std::string> parts;
  if (!SplitPhysical(physical, letter, parts)) return false;
  const DriveConfig* drive = FindDrive(letter);
  if (!drive || drive->hostRoot.empty()) return false;
  std::string path = drive->hostRoot;
  for (size_t i = 0; i < parts.size(); ++i) {
    std::string found;
    if (MatchEntry(path, parts[i], found)) {
      path += "/" + found;
    } else if (forCreate && i + 1 == parts.size()) {
      path += "/" + parts[i];
    } else {
      return false;
    }
  }
  host = path;
  return true;
}

int OpenFile(const std::string& physical, int flags) {
  const bool create = (flags & kOpenCreate) != 0;
  std::string host;
  if (!ResolveHostPath(physical, create, host)) return -1;
  int mode = O_RDONLY;
  if ((flags & 3) == kOpenWriteOnly) mode = O_WRONLY;
  if ((flags & 3) == kOpenReadWrite) mode = O_RDWR;
  if (create) mode |= O_CREAT;
  if (flags & kOpenTruncate) mode |= O_TRUNC;
  if (flags & kOpenAppend) mode |= O_APPEND;
  // Read and write for all, as the user's umask allows: a file the game or
  // an editor writes is the user's like any other.
  const int fd = ::open(host.c_str(), mode | O_CLOEXEC, 0666);
  if (fd < 0) return -1;
  struct stat st;
  if (fd > SHRT_MAX || ::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

int CloseFile(int handle) { return handle < 0 ? -1 : ::close(handle); }

bool ReplaceFile(const std::string& fromPhysical, const std::string& toPhysical) {
  std::string from, to;
  if (!ResolveHostPath(fromPhysical, false, from) || !ResolveHostPath(toPhysical, true, to)) return false;
  return ::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& physical) {
  std::string host;
  return ResolveHostPath(physical, false, host) && ::unlink(host.c_str()) == 0;
}

void SetReadObserver(ReadObserver observer) { g_readObserver = observer; }

int64_t ReadFile(int handle, void* buffer, uint32_t count) {
  if (g_readObserver) g_readObserver(count);
  if (handle < 0) return -1;
  return ::read(handle, buffer, count);
}

int64_t WriteFile(int handle, const void* buffer, uint32_t count) {
  if (handle < 0) return -1;
  return ::write(handle, buffer, count);
}

int64_t SeekFile(int handle, int64_t offset, int whence) {
  if (handle < 0 || whence < 0 || whence > 2) return -1;
  static const int whences[] = {SEEK_SET, SEEK_CUR, SEEK_END};
  return ::lseek(handle, static_cast<off_t>(offset), whences[whence]);
}

std::string ProgramPath() {
  std::error_code ec;
  auto path = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("zentrova") : path.string();
}

std::string SystemDirectory() {
  for (const DriveConfig& d : Drives())
    if (d.type == DriveType::Fixed) return std::string(1, d.letter) + ":/SYSTEM";
  return "C:/SYSTEM";
}

}  // namespace plat
