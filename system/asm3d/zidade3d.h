// The fixed-point 3D library: cosine table, windows and frames.
#pragma once

void LS_InitSinTable();
void LS_Close3D();
