// Names of the display results, as the DirectDraw constants were named.
#include "platform/display.h"
#include "system/error.h"

const char* LSYS_GetDDrawErrorText(int32_t code) {
  switch (code) {
    case plat::kDisplayOk: return "DD_OK";
    case plat::kDisplayOutOfVideoMemory: return "DDERR_OUTOFVIDEOMEMORY";
    case plat::kDisplayInvalidPixelFormat: return "DDERR_INVALIDPIXELFORMAT";
    case plat::kDisplayNoHardware: return "DDERR_NODIRECTDRAWHW";
    case plat::kDisplaySurfaceLost: return "DDERR_SURFACELOST";
    case plat::kDisplaySurfaceBusy: return "DDERR_SURFACEBUSY";
    case plat::kDisplayWrongMode: return "DDERR_WRONGMODE";
    case plat::kDisplayInvalidMode: return "DDERR_INVALIDMODE";
    case plat::kDisplayGeneric: return "DDERR_GENERIC";
    case plat::kDisplayInvalidParams: return "DDERR_INVALIDPARAMS";
    case plat::kDisplayInvalidRect: return "DDERR_INVALIDRECT";
    case plat::kDisplayNotLocked: return "DDERR_NOTLOCKED";
    default: return "Unknown Error Code";
  }
}
