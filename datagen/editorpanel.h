// The editors' panel picture "PCX/EDITOR.PCX": cursors, camera, selection
// and car marks, the track editor's view, tool and object-path buttons
// (up and down images), the busy sign and a grid of decor icons, at the
// cells the editors cut them from.
#pragma once
#include "datagen/pcxwrite.h"

namespace datagen {

constexpr int kEditorPanelWidth = 320;
constexpr int kEditorPanelHeight = 286;

Picture8 EditorPanelPicture();

}  // namespace datagen
