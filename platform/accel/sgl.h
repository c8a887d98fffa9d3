// The 3D accelerator library stand-in: one screen device, a render
// callback into the game's memory, frames cleared to the background colour,
// and textures preprocessed into twiddled 16-bit blocks and kept on a card
// of limited memory. Every call returns 0 or more on success and a
// negative code (platform/accel/types.h) on failure; a failing call also
// records its code for sgl_get_errors. Main thread only.
#pragma once
#include <cstdint>

#include "platform/accel/types.h"

// Screen device: number 0, width and height 1 to 2048, colour type 0 or 1,
// no double buffering; gives the device's handle.
int32_t sgl_create_screen_device(int32_t device, int32_t width, int32_t height, int32_t type,
                                 int32_t doubleBuffer);
int32_t sgl_delete_device(int32_t device);

// Keeps the callback and points *status at the status word, whose bit 0 is
// set when a frame's render is done.
int32_t sgl_use_address_mode(SGL_RENDERCALLBACK callback, uint32_t** status);

// The first and the last error since the previous call (0 for none), then
// clears both; gives the last. Either pointer may be null.
int32_t sgl_get_errors(int32_t* earliest, int32_t* latest);

// Version records; null when the library is absent.
const TSGLVERSIONS* sgl_get_versions();
const TSGLWINVERSIONS* sgl_get_win_versions();

// Makes the processed map (and its block of texels) from a square source
// map of the size code's side; the block stays until sgl_free_pixels.
int32_t sgl_preprocess_texture(int32_t format, int32_t sizeCode, int32_t reserved1, int32_t reserved2,
                               const SGLMAP* source, int32_t reserved3, SGLMAP* processed);
// Bytes of card memory the processed map needs: its texels from the level
// its last id byte names down to 1 x 1.
int32_t sgl_texture_size(const SGLMAP* processed);
// Frees a block made by sgl_preprocess_texture and clears the map's texel
// pointer.
int32_t sgl_free_pixels(SGLMAP* processed);

// Card textures: create copies the texels to the card and gives the
// texture's name (the lowest free, from 0); set copies them again.
int32_t sgl_create_texture(int32_t reserved1, int32_t reserved2, int32_t reserved3, int32_t reserved4,
                           const SGLMAP* processed, int32_t reserved5);
int32_t sgl_set_texture(int32_t name, int32_t reserved1, int32_t reserved2, const SGLMAP* processed,
                        int32_t reserved3);
int32_t sgl_delete_texture(int32_t name);
// Free card memory in bytes.
int32_t sgl_get_free_texture_mem();
int32_t sgl_get_free_texture_mem_info(SGLTEXMEMINFO* info);

// One frame: its start writes the render area's region words into the
// context; the draw calls check their arguments; the render calls the
// callback once, clears the device's area to the context's background
// colour and sets bit 0 of the status word.
int32_t sgltri_startofframe(SGLCONTEXT* context);
int32_t sgltri_triangles(SGLCONTEXT* context, int32_t count, const uint16_t (*faces)[4],
                         const TSGLVERTEX* vertices);
int32_t sgltri_quads(SGLCONTEXT* context, int32_t count, const uint32_t (*quads)[4], const TSGLVERTEX* vertices);
// A shadow or light volume: triangles of three vertex indices, whose planes
// bound it, and its screen box (min x, min y, max x, max y).
int32_t sgltri_shadow(SGLCONTEXT* context, int32_t count, const int32_t (*faces)[3], const TSGLVERTEX* vertices,
                      const float* box);
int32_t sgltri_render(SGLCONTEXT* context);
