// The accelerator library's calls that the game makes, as far as they exist.
#pragma once

// The library's version texts.
struct TSGLVERSIONS {
  const char* library;
  const char* required_header;
};

// The board's and its driver's version texts.
struct TSGLWINVERSIONS {
  const char* required_sglwin32_header;
  const char* sgl_vxd_rev;
  const char* pci_bridge_vendor_id;
  const char* pci_bridge_device_id;
  const char* pci_bridge_rev;
  const char* pci_bridge_irq;
  const char* pci_bridge_io_base;
  const char* tsp_rev;
  const char* tsp_mem_size;  // megabytes
  const char* isp_rev;
  const char* mode;
  const char* status;
  const char* build_info;
};

// Null when the library does not answer.
const TSGLVERSIONS* sgl_get_versions();
const TSGLWINVERSIONS* sgl_get_win_versions();
