// Drives, volumes, program path and file calls.
//
// The game sees drive letters as on the original ("C:/GAME/DAT/X.CFG";
// physical paths use "/"). Each letter is configured to a host directory:
// $ZENTROVA_DRIVES holds entries "L=kind[,LABEL]:/host/dir" separated by
// ";" (kinds: fixed, removable, cdrom, remote, other); without it drive C:
// is a fixed disk rooted at the "data" folder beside the executable. Every
// path component is matched without regard to case, since the game
// upper-cases its names. Nothing outside the configured roots is reachable.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace plat {

enum class DriveType { Unknown = 0, NoRoot = 1, Removable = 2, Fixed = 3, Remote = 4, CdRom = 5, RamDisk = 6 };

struct DriveConfig {
  char letter = 'C';
  DriveType type = DriveType::Fixed;
  std::string label;     // volume label
  std::string hostRoot;  // host directory that stands for the drive's root
};

// Parses a drive list in the $ZENTROVA_DRIVES form; false on a bad entry.
bool ParseDriveSpec(const std::string& spec, std::vector<DriveConfig>& drives);
// Replaces the drive list (tests) and puts the current directory on the
// first fixed drive's root; an empty list goes back to the environment.
void ConfigureDrives(const std::vector<DriveConfig>& drives);
// The drives in letter order.
std::vector<DriveConfig> ListDrives();
// The volume label of a drive; false when the letter is not configured.
bool GetVolumeLabel(char letter, std::string& label);

// The current directory as a physical path, e.g. "C:/GAME".
std::string GetCurrentDirectory();
// Sets it; false when the path is not an existing directory on a drive.
bool SetCurrentDirectory(const std::string& physical);

// Maps a physical path to the host file it names. With forCreate the last
// component may be missing (it is then used as written). False for
// unknown drives, a ".." above the drive's root or missing directories.
bool ResolveHostPath(const std::string& physical, bool forCreate, std::string& host);

// Open flags as the C runtime numbers them.
constexpr int kOpenReadOnly = 0;
constexpr int kOpenWriteOnly = 1;
constexpr int kOpenReadWrite = 2;
constexpr int kOpenAppend = 0x0008;  // every write goes to the end of the file
constexpr int kOpenCreate = 0x100;
constexpr int kOpenTruncate = 0x200;
constexpr int kOpenText = 0x4000;
constexpr int kOpenBinary = 0x8000;

// Opens a physical path; returns a handle of 0 to 32767, or -1.
int OpenFile(const std::string& physical, int flags);
int CloseFile(int handle);                                // 0, or -1
int64_t ReadFile(int handle, void* buffer, uint32_t count);       // bytes, or -1
int64_t WriteFile(int handle, const void* buffer, uint32_t count);  // bytes, or -1
int64_t SeekFile(int handle, int64_t offset, int whence);         // position, or -1

// Puts a file in the place of another, replacing it at once (a reader
// sees the old file or the new one, never a part); false when either path
// does not resolve or the rename fails.
bool ReplaceFile(const std::string& fromPhysical, const std::string& toPhysical);
// Removes a file; false when it is not there or cannot be removed.
bool RemoveFile(const std::string& physical);

// Tests watch the sizes of the read calls made.
using ReadObserver = void (*)(uint32_t count);
void SetReadObserver(ReadObserver observer);

// Full host path of the running program.
std::string ProgramPath();
// The platform's system directory, as a physical path on the first fixed
// drive (the game keeps some files there).
std::string SystemDirectory();

}  // namespace plat
