// What the accelerator's frame asks of the scenery: the per-frame steps and
// texture marks before the cache update, the sky, ground and flare after
// the map, the shadow and beam volumes last, the windshield updates of a
// drawn car, and the light-colour tables of the map and object faces.
#pragma once
#include <cstdint>

struct TSOFTSCENE;
struct _WINDOW;

void SB_AnimateRoadLights(TSOFTSCENE* scene);
void SB_UpdatePanels(TSOFTSCENE* scene);
void SB_MarkPanelTextures(TSOFTSCENE* scene);
void SB_MarkSkyTextures(TSOFTSCENE* scene);
void SB_MarkLensFlareTextures(TSOFTSCENE* scene);
void SB_MarkRoadLightTextures(TSOFTSCENE* scene);
void SB_DrawLensFlare(TSOFTSCENE* scene);
void SB_DrawSky(_WINDOW* window);
void SB_DrawGround(_WINDOW* window);
void POWER_DrawShadows(TSOFTSCENE* scene);
void POWER_DrawPhareVolumes();
// The view set-up's projection for the beam volumes' header: the negated
// focal length and the negated projection centre.
void POWER_SetPhareFocal(float negFocal);
void POWER_SetPhareCentre(float negCenterX, float negCenterY);
// Once per drawn car, with its glass argument (the car's index).
void SB_UpdateBrakeLights(TSOFTSCENE* scene, int32_t glass);
void SB_UpdateGlassClouds(TSOFTSCENE* scene, int32_t glass);
// The two 256-entry light-colour tables SB_Var.LightTables.
void SB_BuildLightTable();
