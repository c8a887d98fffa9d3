// Recording fakes of the car sounds the wheel model starts.
#include "tests/vehicles/drive/drive_fixture.h"
#include "vehicles/carsounds.h"

void SB_PlayGearSound(TCAR* car) { ztest::g_sounds.push_back("gear " + std::to_string(car->Gear)); }
void SB_PlayGearDownVariant() { ztest::g_sounds.push_back("over-rev"); }
void SB_PlayRapportSound() { ztest::g_sounds.push_back("refused"); }
void SB_PlayStartSound() { ztest::g_sounds.push_back("start"); }
