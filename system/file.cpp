// Logical paths resolved over the drive table, and files in 16-bit handles.
#include "system/file.h"

#include <cctype>
#include <cstring>
#include <string>

#include "platform/fs.h"
#include "system/error.h"

namespace {

struct DriveName {
  const char* name;
  uint32_t kind;
};
// In the order names are matched.
const DriveName kDriveNames[] = {
    {"FLOPPY", FLOPPY},           {"HDISK", HDISK},           {"CDROM", CDROM},
    {"REMOTE", REMOTE},           {"REMOTE_SYS", REMOTE_SYS}, {"REMOTE_DEV2", REMOTE_DEV2},
    {"REMOTE_TMP", REMOTE_TMP},   {"REMOTE_TOOLS", REMOTE_TOOLS},
};

const char* KindName(uint32_t kind) {
  switch (kind) {
    case FLOPPY: return "FLOPPY";
    case HDISK: return "HDISK";
    case CDROM: return "CDROM";
    case REMOTE: return "REMOTE";
    case REMOTE_DEV2: return "REMOTE_DEV2";
    case REMOTE_TMP: return "REMOTE_TMP";
    case REMOTE_TOOLS: return "REMOTE_TOOLS";
    default: return "UNKNOWN";
  }
}

// Copies text into a buffer of the given capacity; false when it does not fit.
bool CopyBounded(char* out, size_t capacity, const std::string& text) {
  if (text.size() + 1 > capacity) return false;
  std::memcpy(out, text.c_str(), text.size() + 1);
  return true;
}

const LS_DRIVE* FirstPresent(uint32_t kind) {
  for (const LS_DRIVE& slot : LS_DriveTable)
    if (slot.Present && slot.Kind == kind) return &slot;
  return nullptr;
}

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Resolves a name and opens it on the platform without raising anything;
// the physical path is left in physical.
int OpenQuietly(const char* name, int32_t mode, char* physical, size_t capacity) {
  if (!CopyBounded(physical, capacity, name ? name : "") || LSI_GetPhysicalPath(physical, capacity) < 0)
    return -1;
  return plat::OpenFile(physical, mode);
}

}  // namespace

void LS_StrUpper(char* text) {
  if (!text) return;
  for (; *text; ++text) *text = static_cast<char>(std::toupper(static_cast<unsigned char>(*text)));
}

void LSI_NormalizePath(char* path) {
  if (!path) return;
  char* out = path;
  for (const char* in = path; *in; ++in)
    if (*in != '>' || out == path || out[-1] != '>') *out++ = *in;
  *out = 0;
}

int32_t LSI_ParseDrive(const char* path, uint32_t* kind, uint32_t* number, const char** rest) {
  *number = 1;
  const char* colon = path ? std::strchr(path, ':') : nullptr;
  if (!colon) return 0;
  *rest = colon + 1;
  std::string drive(path, static_cast<size_t>(colon - path));
  if (!drive.empty() && drive.back() >= '1' && drive.back() <= '5') {
    *number = static_cast<uint32_t>(drive.back() - '0');
    drive.pop_back();
  }
  *kind = LS_UNKNOWN_DRIVE;
  for (const DriveName& d : kDriveNames) {
    if (drive == d.name) {
      *kind = d.kind;
      break;
    }
  }
  return 1;
}

int32_t LSI_GetPhysicalPath(char* path, size_t capacity) {
  if (!path) return -1;
  std::string result;
  uint32_t kind = 0, number = 0;
  const char* rest = nullptr;
  if (LSI_ParseDrive(path, &kind, &number, &rest)) {
    const LS_DRIVE* slot = kind == LS_UNKNOWN_DRIVE ? nullptr : FirstPresent(kind);
    if (slot)
      result = *rest ? std::string(slot->Root) + ">" + rest : std::string(slot->Root);
    else
      result = path;  // platform paths pass through; absent drives stay unresolved
  } else if (LS_Var.CurrentDir[0]) {
    result = std::string(LS_Var.RootDir.Root) + ">" + LS_Var.CurrentDir + ">" + path;
  } else {
    result = std::string(LS_Var.RootDir.Root) + ">" + path;
  }
  result = Upper(result);
  std::string collapsed;
  for (char c : result) {
    if (c == '>' && !collapsed.empty() && collapsed.back() == '/') continue;
    collapsed += c == '>' ? '/' : c;
  }
  if (!CopyBounded(path, capacity, collapsed)) return -1;
  return static_cast<int32_t>(collapsed.size());
}

int32_t LS_GetLogicalPath(char* path, size_t capacity) {
  if (!path) return -1;
  std::string text = Upper(path);
  std::string result;
  const size_t colon = text.find(':');
  if (colon == std::string::npos) {
    result = text;
  } else {
    const std::string root = text.substr(0, colon + 1);
    const std::string rest = text.substr(colon + 1);
    const LS_DRIVE* slot = nullptr;
    for (const LS_DRIVE& s : LS_DriveTable)
      if (s.Present && root == s.Root) slot = slot ? slot : &s;
    const char* name = slot ? KindName(slot->Kind) : "UNKNOWN";
    if (!rest.empty())
      result = std::string(name) + ":>" + rest;
    else
      result = std::string(name) + std::to_string(slot ? slot->Number : 0);
  }
  std::string logical;
  for (char c : result) {
    if (c == '\\' || c == '/') c = '>';
    if (c == '>' && !logical.empty() && logical.back() == '>') continue;
    logical += c;
  }
  if (!logical.empty() && logical.back() == '>') logical.pop_back();
  if (!CopyBounded(path, capacity, logical)) return -1;
  return static_cast<int32_t>(logical.size());
}

int32_t LS_SetCurrentDir(const char* path) {
  if (!path) return 0;
  std::string current = LS_Var.CurrentDir;
  uint32_t kind = 0, number = 0;
  const char* rest = nullptr;
  if (LSI_ParseDrive(path, &kind, &number, &rest)) {
    for (const LS_DRIVE& slot : LS_DriveTable) {
      if (slot.Present && slot.Kind == kind + number - 1) {
        LS_Var.RootDir = slot;
        break;
      }
    }
    current = Upper(rest);
  } else if (path[0] == '>') {
    current = Upper(path);
  } else {
    current = Upper(current + ">" + path);
  }
  return CopyBounded(LS_Var.CurrentDir, sizeof LS_Var.CurrentDir, current) ? 1 : 0;
}

int32_t LS_AddExtension(char* name, size_t capacity, const char* extension) {
  if (!name || !extension) return 0;
  if (std::strchr(name, '.')) return 1;
  const size_t length = std::strlen(name), added = std::strlen(extension);
  if (length + added + 1 > capacity) return 0;
  std::memcpy(name + length, extension, added + 1);
  return 1;
}

int32_t LS_FileExists(const char* name) {
  if (!name) return 0;
  char physical[LS_PATHSIZE];
  const int handle = OpenQuietly(name, LS_O_RDONLY, physical, sizeof physical);
  if (handle < 0) return 0;
  plat::CloseFile(handle);
  return 1;
}

int16_t LS_Open(const char* name, int32_t mode) {
  char physical[LS_PATHSIZE];
  const int handle = OpenQuietly(name, mode, physical, sizeof physical);
  if (handle < 0) {
    if (mode & LS_O_CREAT)
      LS_Error(5, " : %s", physical);
    else
      LS_Error(4, " : %s", physical);
    return -1;
  }
  return static_cast<int16_t>(handle);
}

int32_t LS_Close(int16_t handle) {
  const int result = plat::CloseFile(handle);
  if (result < 0) LS_Error(10, "%s", "");
  return result;
}

namespace {
// Moves count bytes in pieces of at most LS_IO_PIECE, stopping at the first
// short or failed piece; returns the bytes moved.
template <typename Byte, typename Transfer>
int32_t InPieces(Byte* buffer, int32_t count, Transfer transfer) {
  if (!buffer || count <= 0) return 0;
  int32_t total = 0;
  while (total < count) {
    const int32_t piece = count - total < LS_IO_PIECE ? count - total : LS_IO_PIECE;
    const int64_t moved = transfer(buffer + total, static_cast<uint32_t>(piece));
    if (moved <= 0) break;
    total += static_cast<int32_t>(moved);
    if (moved < piece) break;
  }
  return total;
}
}  // namespace

int32_t LS_Read(int16_t handle, void* buffer, int32_t count) {
  return InPieces(static_cast<char*>(buffer), count,
                  [handle](char* at, uint32_t n) { return plat::ReadFile(handle, at, n); });
}

int32_t LS_Write(int16_t handle, const void* buffer, int32_t count) {
  return InPieces(static_cast<const char*>(buffer), count,
                  [handle](const char* at, uint32_t n) { return plat::WriteFile(handle, at, n); });
}

int32_t LS_Seek(int16_t handle, int32_t offset, int32_t whence) {
  const int64_t position = plat::SeekFile(handle, offset, whence);
  return position < 0 || position > INT32_MAX ? -1 : static_cast<int32_t>(position);
}

int32_t LS_GetFileSize(const char* name) {
  char physical[LS_PATHSIZE];
  const int handle = OpenQuietly(name, LS_O_BINARY, physical, sizeof physical);
  if (handle < 0) return 0;
  const int64_t size = plat::SeekFile(handle, 0, 2);
  plat::CloseFile(handle);
  return size < 0 || size > INT32_MAX ? 0 : static_cast<int32_t>(size);
}

void* LS_LoadFile(const char* name, HHEAP heap) {
  const int32_t size = LS_GetFileSize(name);
  if (size <= 0) return nullptr;
  char physical[LS_PATHSIZE];
  const int handle = OpenQuietly(name, LS_O_BINARY, physical, sizeof physical);
  if (handle < 0) return nullptr;
  void* block = LS_GetMemHeap(heap, static_cast<uint32_t>(size));
  if (!block) {
    plat::CloseFile(handle);
    return nullptr;
  }
  const int32_t got = LS_Read(static_cast<int16_t>(handle), block, size);
  plat::CloseFile(handle);
  if (got != size) {
    LS_Release(block);
    return nullptr;
  }
  return block;
}

// Classifies a remote drive by its volume label; false leaves it unusable.
static bool RemoteKind(char letter, uint32_t* kind) {
  std::string label;
  plat::GetVolumeLabel(letter, label);
  label = Upper(label);
  if (label == "SYS") *kind = REMOTE_SYS;
  else if (label == "DEV2") *kind = REMOTE_DEV2;
  else if (label == "TOOLS") *kind = REMOTE_TOOLS;
  else if (label == "TEMP") *kind = REMOTE_TMP;
  else return false;
  return true;
}

void LSYS_ScanDrives() {
  uint32_t floppies = 0, disks = 0, cds = 0, remotes = 0;
  int used = 0;
  for (const plat::DriveConfig& drive : plat::ListDrives()) {
    if (used == 20) break;
    LS_DRIVE& slot = LS_DriveTable[used++];
    std::memset(&slot, 0, sizeof slot);
    slot.Root[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(drive.letter)));
    slot.Root[1] = ':';
    slot.Present = 1;
    switch (drive.type) {
      case plat::DriveType::Removable:
        slot.Kind = FLOPPY;
        slot.Number = ++floppies;
        break;
      case plat::DriveType::Fixed:
        slot.Kind = HDISK;
        slot.Number = ++disks;
        break;
      case plat::DriveType::CdRom:
        slot.Kind = CDROM;
        slot.Number = ++cds;
        break;
      case plat::DriveType::Remote:
        // In master mode remote drives are known but never used.
        if (LSI_Var.Master) {
          slot.Kind = REMOTE_SYS;
          slot.Number = ++remotes;
          slot.Present = 0;
        } else if (RemoteKind(drive.letter, &slot.Kind)) {
          slot.Number = ++remotes;
        } else {
          slot.Present = 0;
        }
        break;
      default:
        slot.Kind = LS_UNKNOWN_DRIVE;
        break;
    }
  }

  // The current directory: its part after "X:/" as a logical path, on the
  // drive it lies on.
  const std::string current = Upper(plat::GetCurrentDirectory());
  LS_Var.CurrentDir[0] = 0;
  if (current.size() > 3 && CopyBounded(LS_Var.CurrentDir, sizeof LS_Var.CurrentDir, current.substr(3)) &&
      LS_GetLogicalPath(LS_Var.CurrentDir, sizeof LS_Var.CurrentDir) < 0)
    LS_Var.CurrentDir[0] = 0;
  const std::string root = current.substr(0, 2);
  for (const LS_DRIVE& slot : LS_DriveTable) {
    if (slot.Present && root == slot.Root) {
      LS_Var.RootDir = slot;
      break;
    }
  }
}

void LSI_InitDirectory() {
  std::memset(LS_DriveTable, 0, sizeof LS_DriveTable);
  std::memset(&LS_Var.RootDir, 0, sizeof LS_Var.RootDir);
  LSYS_ScanDrives();
}

int32_t LSYS_GetSystemDir(char* buffer, size_t capacity) {
  if (!buffer || !CopyBounded(buffer, capacity, plat::SystemDirectory())) return 0;
  return LS_GetLogicalPath(buffer, capacity) < 0 ? 0 : 1;
}

int32_t LSYS_GetProgramName(char* buffer, size_t capacity) {
  std::string name = plat::ProgramPath();
  if (const size_t slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
  if (const size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
  return buffer && CopyBounded(buffer, capacity, name) ? 1 : 0;
}
