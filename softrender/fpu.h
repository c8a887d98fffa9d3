// The floating-point environment of the 3D path.
#pragma once

// Saves the floating-point environment and masks every exception.
void E3D_SetFpuControl();
// Restores what E3D_SetFpuControl saved.
void E3D_RestoreFpuControl();
