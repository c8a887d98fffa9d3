// The editors as the race session and frame reach them: set-up and release
// around the race loop, and one frame of each in its debug mode.
#pragma once

struct BMAP;
struct TSOFTSCENE;

// Track editor (debug mode 1).
void SB_Edit();
void SB_FreeEdit();
void SB_EnterEdit();
void SB_UpdateEdit();
// Decor-object editor (debug mode 4).
void SB_InitDecorEditor();
void SB_FreeDecorEditor();
void SB_UpdateDecorEditor();
// Texture-animation tool (debug mode 3).
void SB_TxtAnimEditor();
// Scene editor (debug mode 5), on the race overlay.
void SB_UpdateSceneEditor(BMAP* bitmap);
void SB_FreeSceneEditor();
// Per race frame: the texture-page animations' per-frame words cleared,
// and the polygon inspector over the view drawn.
void SB_ResetPageAnims(TSOFTSCENE* view);
void SB_InspectPolygons(TSOFTSCENE* view);
