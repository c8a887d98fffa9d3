// For the benchmarks that read the build's data tree: the library's memory
// and directories on a drive C: of that tree, a temporary configuration
// folder, errors kept rather than fatal, fresh game globals.
#pragma once
#include <cstdlib>
#include <filesystem>

#include "platform/config.h"
#include "platform/fs.h"
#include "platform/window.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/file.h"
#include "system/heap.h"

struct DataTreeLibrary {
  std::filesystem::path config;

  DataTreeLibrary() {
    char pattern[] = "/tmp/zentrova-bench-XXXXXX";
    config = mkdtemp(pattern);
    plat::SetMessageBoxEcho(false);
    plat::SetConfigDir(config.string());
    plat::ConfigureDrives({{'C', plat::DriveType::Fixed, "", ZENTROVA_DATA_DIR}});
    LSI_InitMemory(32u << 20);
    LS_SetErrorMode(LS_ERRMODE_KEEP);
    LSI_InitDirectory();
    SB_ResetVars();
  }
  ~DataTreeLibrary() {
    LSI_CloseMemory();
    std::filesystem::remove_all(config);
  }
};
