// The decor-object and scene editors' pictures: the decor editor's panel
// "PCX/EDITOR2.PCX", the scene editor's car and camera markers and its
// four cursors.
#pragma once
#include "datagen/pcxwrite.h"
#include "datagen/tgawrite.h"

namespace datagen {

constexpr int kDecorPanelWidth = 256;
constexpr int kDecorPanelHeight = 169;

// The panel: labels, the value fields left empty, and the buttons at the
// places the editor tests.
Picture8 DecorPanelPicture();
// 32 x 16 arrows pointing along +x (to the right), on black.
Picture24 CarMarkerPicture();
Picture24 CameraMarkerPicture();
// The cursors on black, their hot spots: cross (8, 7), loupe (4, 4),
// hand (5, 8). The arrow, "INTERFAC>CURSOR.TGA", is the car editors'.
Picture24 SelectCursorPicture();
Picture24 LoupeCursorPicture();
Picture24 HandCursorPicture();

}  // namespace datagen
