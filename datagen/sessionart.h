// The pictures around a race: the please-wait picture
// "MISCPICT>PLEASEWA.TGA", the logo "MISCPICT>TAMRISK.TGA", the kiosk's
// information page "MISCPICT>INFO.TGA" (block letters on gradients) and the
// physics meters' panel "PCX>VOATU.PCX".
#pragma once
#include "datagen/pcxwrite.h"
#include "datagen/tgawrite.h"

namespace datagen {

constexpr int kMeterWidth = 108;
constexpr int kMeterHeight = 111;

Picture24 PleaseWaitPicture();
Picture24 LogoPicture();
Picture24 InfoPagePicture();
// 8-bit, with its own palette.
Picture8 MeterPicture();

}  // namespace datagen
