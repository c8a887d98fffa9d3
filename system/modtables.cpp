// The music player's tables: the periods of every note at every finetune,
// and the half sine of vibrato and tremolo.
#include <array>

#include "system/modstate.h"

namespace {

using PeriodRow = std::array<uint16_t, LS_MODPERIODROW>;

// Finetune 0, seven octaves from C-0.
constexpr PeriodRow kRow0 = {
    65535, 3424, 3232, 3048, 2880, 2712, 2560, 2416, 2280, 2152, 2032, 1920, 1814, 1712, 1616, 1524,
    1440,  1356, 1280, 1208, 1140, 1076, 1016, 960,  907,  856,  808,  762,  720,  678,  640,  604,
    570,   538,  508,  480,  453,  428,  404,  381,  360,  339,  320,  302,  285,  269,  254,  240,
    226,   214,  202,  190,  180,  169,  160,  151,  142,  134,  127,  120,  113,  107,  101,  95,
    90,    84,   80,   75,   71,   67,   63,   60,   56,   53,   50,   47,   45,   42,   40,   37,
    35,    33,   31,   30,   28,   0};

// The tracker's own periods of the octaves C-2 and C-3 for finetunes 1 to
// 7 and -8 to -1, in the order of the sample header's nibble.
constexpr uint16_t kFinetuneOctaves[15][24] = {
    {850, 802, 757, 715, 674, 637, 601, 567, 535, 505, 477, 450,
     425, 401, 379, 357, 337, 318, 300, 284, 268, 253, 239, 225},
    {844, 796, 752, 709, 670, 632, 597, 563, 532, 502, 474, 447,
     422, 398, 376, 355, 335, 316, 298, 282, 266, 251, 237, 224},
    {838, 791, 746, 704, 665, 628, 592, 559, 528, 498, 470, 444,
     419, 395, 373, 352, 332, 314, 296, 280, 264, 249, 235, 222},
    {832, 785, 741, 699, 660, 623, 588, 555, 524, 495, 467, 441,
     416, 392, 370, 350, 330, 312, 294, 278, 262, 247, 233, 220},
    {826, 779, 736, 694, 655, 619, 584, 551, 520, 491, 463, 437,
     413, 390, 368, 347, 328, 309, 292, 276, 260, 245, 232, 219},
    {820, 774, 730, 689, 651, 614, 580, 547, 516, 487, 460, 434,
     410, 387, 365, 345, 325, 307, 290, 274, 258, 244, 230, 217},
    {814, 768, 725, 684, 646, 610, 575, 543, 513, 484, 457, 431,
     407, 384, 363, 342, 323, 305, 288, 272, 256, 242, 228, 216},
    {907, 856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480,
     453, 428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240},
    {900, 850, 802, 757, 715, 675, 636, 601, 567, 535, 505, 477,
     450, 425, 401, 379, 357, 337, 318, 300, 284, 268, 253, 238},
    {894, 844, 796, 752, 709, 670, 632, 597, 563, 532, 502, 474,
     447, 422, 398, 376, 355, 335, 316, 298, 282, 266, 251, 237},
    {887, 838, 791, 746, 704, 665, 628, 592, 559, 528, 498, 470,
     444, 419, 395, 373, 352, 332, 314, 296, 280, 264, 249, 235},
    {881, 832, 785, 741, 699, 660, 623, 588, 555, 524, 494, 467,
     441, 416, 392, 370, 350, 330, 312, 294, 278, 262, 247, 233},
    {875, 826, 779, 736, 694, 655, 619, 584, 551, 520, 491, 463,
     437, 413, 390, 368, 347, 328, 309, 292, 276, 260, 245, 232},
    {868, 820, 774, 730, 689, 651, 614, 580, 547, 516, 487, 460,
     434, 410, 387, 365, 345, 325, 307, 290, 274, 258, 244, 230},
    {862, 814, 768, 725, 684, 646, 610, 575, 543, 513, 484, 457,
     431, 407, 384, 363, 342, 323, 305, 288, 272, 256, 242, 228},
};

// A finetune row extended the way row 0 is: the two octaves given become
// octaves 2 and 3, octaves 1 and 0 double them, octaves 4 to 6 halve the
// one before (rounding down).
constexpr PeriodRow ExtendRow(const uint16_t (&octaves)[24]) {
  PeriodRow row{};
  row[0] = 65535;
  for (uint32_t n = 0; n < 12; ++n) {
    row[1 + n] = static_cast<uint16_t>(octaves[n] * 4);
    row[13 + n] = static_cast<uint16_t>(octaves[n] * 2);
    row[25 + n] = octaves[n];
    row[37 + n] = octaves[12 + n];
    for (uint32_t octave = 4; octave < 7; ++octave)
      row[1 + 12 * octave + n] = static_cast<uint16_t>(row[1 + 12 * (octave - 1) + n] / 2);
  }
  row[LS_MODLASTNOTE] = 0;
  return row;
}

constexpr std::array<PeriodRow, 16> BuildPeriods() {
  std::array<PeriodRow, 16> table{};
  table[0] = kRow0;
  for (uint32_t r = 1; r < 16; ++r) table[r] = ExtendRow(kFinetuneOctaves[r - 1]);
  return table;
}

}  // namespace

const std::array<std::array<uint16_t, LS_MODPERIODROW>, 16> LSI_ModPeriods = BuildPeriods();

const uint8_t LSI_ModWave[64] = {
    0,   12,  25,  37,  49,  62,  74,  86,  97,  109, 120, 131, 142, 152, 162, 171,
    181, 189, 197, 205, 212, 219, 225, 231, 236, 241, 244, 248, 251, 253, 254, 255,
    255, 255, 254, 253, 251, 248, 244, 241, 236, 231, 225, 219, 212, 205, 197, 189,
    181, 171, 162, 152, 142, 131, 120, 109, 97,  86,  74,  62,  49,  37,  25,  0};

uint16_t LSI_ModPeriod(uint32_t finetuneOffset, uint32_t noteOffset) {
  const uint32_t row = (finetuneOffset / LS_MODFINETUNESTEP) & 15;
  uint32_t note = noteOffset / 2;
  if (note > LS_MODLASTNOTE) note = LS_MODLASTNOTE;
  return LSI_ModPeriods[row][note];
}

uint32_t LSI_ModNoteOfPeriod(uint32_t period) {
  uint32_t note = 1;
  while (note < LS_MODLASTNOTE && LSI_ModPeriods[0][note] > period) ++note;
  return note;
}
