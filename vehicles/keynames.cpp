// The key-name table and the conversions between names and codes. The
// table is constant data, so the conversions work before any start-up.
#include "vehicles/keynames.h"

#include <cstring>

const TKEYNAME SB_KeyNames[SB_NBKEYNAMEROWS] = {
    {0, "P"},             {9, "TAB"},           {20, "CAPS"},         {16, "SHIFT"},        {17, "CTRL"},
    {18, "ALT"},          {32, "SPACE"},        {13, "ENTER"},        {8, "BACK"},          {38, "UP"},
    {40, "DOWN"},         {37, "LEFT"},         {39, "RIGHT"},        {33, "PGUP"},         {34, "PGDWN"},
    {36, "HOME"},         {35, "END"},          {45, "INS"},          {46, "DEL"},          {107, "PLUS"},
    {109, "MINUS"},       {106, "MULTIPLY"},    {111, "DIVIDE"},      {1025, "JOY1 LEFT"},  {1026, "JOY1 RIGHT"},
    {1027, "JOY1 UP"},    {1028, "JOY1 DOWN"},  {1029, "JPD1 LEFT"},  {1030, "JPD1 RIGHT"}, {1031, "JPD1 UP"},
    {1032, "JPD1 DOWN"},  {1033, "JOY1 B1"},    {1034, "JOY1 B2"},    {1035, "JOY1 B3"},    {1036, "JOY1 B4"},
    {1037, "JOY2 LEFT"},  {1038, "JOY2 RIGHT"}, {1039, "JOY2 UP"},    {1040, "JOY2 DOWN"},  {1041, "JPD2 LEFT"},
    {1042, "JPD2 RIGHT"}, {1043, "JPD2 UP"},    {1044, "JPD2 DOWN"},  {1045, "JOY2 B1"},    {1046, "JOY2 B2"},
    {1047, "JOY2 B3"},    {1048, "JOY2 B4"},
};

int32_t KeyNameToCode(const char* name) {
  if (!name || !*name) return 0;
  // Row 0 is only the fallback name: "P" is found by its first character.
  for (int32_t row = 1; row < SB_NBKEYNAMEROWS; ++row)
    if (std::strcmp(name, SB_KeyNames[row].Name) == 0) return SB_KeyNames[row].Code;
  return static_cast<signed char>(name[0]);
}

const char* KeyCodeToName(int32_t code) {
  for (const TKEYNAME& row : SB_KeyNames)
    if (row.Code == code) return row.Name;
  return SB_KeyNames[0].Name;
}
