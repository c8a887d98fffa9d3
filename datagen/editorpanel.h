// The editors' panel picture "PCX/EDITOR.PCX": cursors, camera, selection
// and car marks, the track editor's view, tool and object-path buttons
// (up and down images), the busy sign, the texture-animation editor's
// cursors, check boxes and buttons, and a grid of decor icons, at the
// cells the editors cut them from.
#pragma once
#include "datagen/pcxwrite.h"

namespace datagen {

// Wide and high enough for decor icons of columns 0..20 and rows 0..12.
constexpr int kEditorPanelWidth = 640;
constexpr int kEditorPanelHeight = 482;

Picture8 EditorPanelPicture();

}  // namespace datagen
