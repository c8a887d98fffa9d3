// The music player's effects: what each effect does on the first tick of
// its row and, through the channel's tick handler, on the ticks after.
#include <algorithm>

#include "system/modstate.h"

namespace {

constexpr uint32_t kVolumeMax = 64;
constexpr uint32_t kSpeedMax = 31;

using FirstTick = void (*)(MODSTATE& s, MODCHANNEL& c, uint32_t param);

struct EFFECT {
  FirstTick first;    // null: nothing on the first tick
  MODTICKPROC later;  // the tick handler it installs
};

void SetPeriod(MODSTATE& s, MODCHANNEL& c, int32_t period) {
  c.Period = static_cast<uint16_t>(std::clamp<int32_t>(period, LS_MODPERIODMIN, LS_MODPERIODMAX));
  LSI_ModDriver->PeriodToStep(s, c, c.Period);
}

void SetVolume(MODCHANNEL& c, int32_t volume) {
  c.Volume = static_cast<uint8_t>(std::clamp<int32_t>(volume, 0, kVolumeMax));
}

// Keeps each nibble of param that is not 0.
uint8_t NibbleMemory(uint8_t old, uint32_t param) {
  uint8_t value = old;
  if (param & 0xF0) value = static_cast<uint8_t>((value & 0x0F) | (param & 0xF0));
  if (param & 0x0F) value = static_cast<uint8_t>((value & 0xF0) | (param & 0x0F));
  return value;
}

// 0: arpeggio over the note, the note + x and the note + y semitones.
void ArpeggioFirst(MODSTATE&, MODCHANNEL& c, uint32_t param) {
  const uint32_t note = LSI_ModNoteOfPeriod(c.Period);
  const uint32_t up1 = std::min(note + (param >> 4), LS_MODARPEGGIOTOP);
  const uint32_t up2 = std::min(note + (param & 15), LS_MODARPEGGIOTOP);
  c.ArpeggioPeriods[0] = c.Period;
  c.ArpeggioPeriods[1] = LSI_ModPeriod(c.FinetuneOffset, 2 * up1);
  c.ArpeggioPeriods[2] = LSI_ModPeriod(c.FinetuneOffset, 2 * up2);
}
void ArpeggioTick(MODSTATE& s, MODCHANNEL& c) {
  c.ArpeggioIndex = static_cast<uint16_t>((c.ArpeggioIndex + 2) % 6);
  LSI_ModDriver->PeriodToStep(s, c, c.ArpeggioPeriods[c.ArpeggioIndex / 2]);
}

// 1, 2: period slides.
void SlideFirst(MODSTATE&, MODCHANNEL& c, uint32_t param) { c.SlideSpeed = static_cast<uint16_t>(param); }
void SlideUpTick(MODSTATE& s, MODCHANNEL& c) { SetPeriod(s, c, c.Period - c.SlideSpeed); }
void SlideDownTick(MODSTATE& s, MODCHANNEL& c) { SetPeriod(s, c, c.Period + c.SlideSpeed); }

// 3: tone portamento towards the target period, stopping on it.
void ToneFirst(MODSTATE&, MODCHANNEL& c, uint32_t param) {
  if (param) c.ToneSpeed = static_cast<uint16_t>(param);
}
void ToneTick(MODSTATE& s, MODCHANNEL& c) {
  if (c.TonePeriod == 0) return;
  int32_t period = c.Period;
  if (period < c.TonePeriod) period = std::min<int32_t>(period + c.ToneSpeed, c.TonePeriod);
  else if (period > c.TonePeriod) period = std::max<int32_t>(period - c.ToneSpeed, c.TonePeriod);
  c.Period = static_cast<uint16_t>(period);
  LSI_ModDriver->PeriodToStep(s, c, c.Period);
}

// 4: vibrato moves the step, not the stored period.
void VibratoFirst(MODSTATE&, MODCHANNEL& c, uint32_t param) { c.VibratoParam = NibbleMemory(c.VibratoParam, param); }
void VibratoTick(MODSTATE& s, MODCHANNEL& c) {
  const uint32_t speed = c.VibratoParam >> 4, depth = c.VibratoParam & 15;
  if (!speed || !depth) return;
  const uint8_t old = c.WavePosition;
  c.WavePosition = static_cast<uint8_t>(c.WavePosition + speed * 4);
  int32_t delta = static_cast<int32_t>((LSI_ModWave[(old >> 1) & 63] * depth) >> 7);
  if (c.WavePosition & 0x80) delta = -delta;
  const int32_t period = std::clamp<int32_t>(c.Period + delta, LS_MODPERIODMIN, LS_MODPERIODMAX);
  LSI_ModDriver->PeriodToStep(s, c, static_cast<uint32_t>(period));
}

// A: volume slide; 5 and 6 slide the volume too, storing even zeros.
void VolumeAmounts(MODCHANNEL& c, uint32_t param) {
  c.VolumeDown = static_cast<uint8_t>(param & 15);
  c.VolumeUp = static_cast<uint8_t>(param >> 4);
}
void VolumeSlideFirst(MODSTATE&, MODCHANNEL& c, uint32_t param) {
  if (param) VolumeAmounts(c, param);
}
void VolumeSlideTick(MODSTATE&, MODCHANNEL& c) {
  SetVolume(c, c.Volume - c.VolumeDown);
  SetVolume(c, c.Volume + c.VolumeUp);
}
void SlideAmountsFirst(MODSTATE&, MODCHANNEL& c, uint32_t param) { VolumeAmounts(c, param); }
void ToneSlideTick(MODSTATE& s, MODCHANNEL& c) {
  VolumeSlideTick(s, c);
  ToneTick(s, c);
}
void VibratoSlideTick(MODSTATE& s, MODCHANNEL& c) {
  VolumeSlideTick(s, c);
  VibratoTick(s, c);
}

// 7: tremolo moves the stored volume.
void TremoloFirst(MODSTATE&, MODCHANNEL& c, uint32_t param) { c.TremoloParam = NibbleMemory(c.TremoloParam, param); }
void TremoloTick(MODSTATE&, MODCHANNEL& c) {
  const uint32_t speed = c.TremoloParam >> 4, depth = c.TremoloParam & 15;
  c.WavePosition = static_cast<uint8_t>(c.WavePosition + speed * 4);
  int32_t delta = static_cast<int32_t>((LSI_ModWave[(c.WavePosition >> 1) & 63] * depth) >> 10);
  if (!(c.WavePosition & 0x80)) delta = -delta;
  SetVolume(c, c.Volume + delta);
}

// 9: sample offset in 256-byte steps, at most the sample's end.
void OffsetFirst(MODSTATE& s, MODCHANNEL& c, uint32_t param) {
  const uint32_t index = c.Sample / 4;
  if (index >= LS_MODSAMPLES || !s.SampleStart[index]) return;
  const uint8_t* start = s.SampleStart[index];
  const uint8_t* end = s.SampleEnd[index];
  const uint32_t offset = param * 256;
  c.Position = offset < static_cast<uint32_t>(end - start) ? start + offset : end;
  c.Fraction = 0;
}

// B, D: position jump and pattern break, taken at the next row.
void JumpFirst(MODSTATE& s, MODCHANNEL&, uint32_t param) {
  s.OrderIndex = static_cast<int32_t>(param) - 1;
  s.BreakRow = 0;
  s.JumpFlag = 1;
}
void BreakFirst(MODSTATE& s, MODCHANNEL&, uint32_t param) {
  s.BreakRow = (param >> 4) * 10 + (param & 15);
  s.JumpFlag = 1;
}

// C: volume.
void VolumeFirst(MODSTATE&, MODCHANNEL& c, uint32_t param) { SetVolume(c, static_cast<int32_t>(param)); }

// F: speed up to 31 (this row already), tempo above.
void SpeedFirst(MODSTATE& s, MODCHANNEL&, uint32_t param) {
  if (param <= kSpeedMax) {
    s.Speed = s.TickCounter = param;
    return;
  }
  s.Tempo = param;
  LSI_ModDriver->SetTempo(s, param);
}

// E1, E2: fine slides.
void FineUpFirst(MODSTATE& s, MODCHANNEL& c, uint32_t y) { SetPeriod(s, c, c.Period - static_cast<int32_t>(y)); }
void FineDownFirst(MODSTATE& s, MODCHANNEL& c, uint32_t y) { SetPeriod(s, c, c.Period + static_cast<int32_t>(y)); }

// E5: finetune.
void FinetuneFirst(MODSTATE&, MODCHANNEL& c, uint32_t y) {
  c.FinetuneOffset = static_cast<uint16_t>(y * LS_MODFINETUNESTEP);
}

// E6: pattern loop; the loop is taken at the next row (LSI_AsmNewRow).
void LoopFirst(MODSTATE& s, MODCHANNEL& c, uint32_t y) {
  if (y == 0) {
    c.LoopRow = static_cast<uint8_t>(s.Row);
    return;
  }
  c.LoopPending = 1;
  if (c.LoopCounter == 0) c.LoopCounter = static_cast<uint8_t>(y);
  else --c.LoopCounter;
}

// E9: retrigger every y ticks.
void RetriggerFirst(MODSTATE&, MODCHANNEL& c, uint32_t y) {
  if (y) c.RetriggerInterval = static_cast<uint8_t>(y);
  c.RetriggerCounter = static_cast<uint8_t>(y);
}
void RetriggerTick(MODSTATE& s, MODCHANNEL& c) {
  if (c.RetriggerCounter == 0 || --c.RetriggerCounter != 0) return;
  LSI_ModRestartSample(s, c);
  c.RetriggerCounter = c.RetriggerInterval;
}

// EA, EB: fine volume slides.
void FineVolumeUpFirst(MODSTATE&, MODCHANNEL& c, uint32_t y) { SetVolume(c, c.Volume + static_cast<int32_t>(y)); }
void FineVolumeDownFirst(MODSTATE&, MODCHANNEL& c, uint32_t y) { SetVolume(c, c.Volume - static_cast<int32_t>(y)); }

// EC: cuts the note y + 1 ticks after the row's first.
void CutFirst(MODSTATE&, MODCHANNEL& c, uint32_t y) { c.CutCounter = static_cast<uint8_t>(y + 1); }
void CutTick(MODSTATE&, MODCHANNEL& c) {
  if (c.CutCounter && --c.CutCounter) return;
  c.Volume = 0;
  c.TickHandler = nullptr;
}

// EE: pattern delay.
void DelayRowsFirst(MODSTATE& s, MODCHANNEL&, uint32_t y) { s.PatternDelay = y; }

const EFFECT kExtended[16] = {
    {nullptr, nullptr},              // E0 filter
    {FineUpFirst, nullptr},          // E1
    {FineDownFirst, nullptr},        // E2
    {nullptr, nullptr},              // E3 glissando
    {nullptr, nullptr},              // E4 vibrato waveform
    {FinetuneFirst, nullptr},        // E5
    {LoopFirst, nullptr},            // E6
    {nullptr, nullptr},              // E7 tremolo waveform
    {nullptr, nullptr},              // E8
    {RetriggerFirst, RetriggerTick}, // E9
    {FineVolumeUpFirst, nullptr},    // EA
    {FineVolumeDownFirst, nullptr},  // EB
    {CutFirst, CutTick},             // EC
    {nullptr, nullptr},              // ED (a delay of 0: nothing)
    {DelayRowsFirst, nullptr},       // EE
    {nullptr, nullptr},              // EF
};

const EFFECT kEffects[16] = {
    {ArpeggioFirst, ArpeggioTick},        // 0
    {SlideFirst, SlideUpTick},            // 1
    {SlideFirst, SlideDownTick},          // 2
    {ToneFirst, ToneTick},                // 3
    {VibratoFirst, VibratoTick},          // 4
    {SlideAmountsFirst, ToneSlideTick},   // 5
    {SlideAmountsFirst, VibratoSlideTick},// 6
    {TremoloFirst, TremoloTick},          // 7
    {nullptr, nullptr},                   // 8 panning: not played
    {OffsetFirst, nullptr},               // 9
    {VolumeSlideFirst, VolumeSlideTick},  // A
    {JumpFirst, nullptr},                 // B
    {VolumeFirst, nullptr},               // C
    {BreakFirst, nullptr},                // D
    {nullptr, nullptr},                   // E: by its x, above
    {SpeedFirst, nullptr},                // F
};

}  // namespace

void LSI_ModEffect(MODSTATE& s, MODCHANNEL& c, uint32_t effect, uint32_t param) {
  effect &= 15;
  if (effect == 0 && param == 0) {
    c.TickHandler = nullptr;
    return;
  }
  if (effect == 0xE) {
    const EFFECT& e = kExtended[(param >> 4) & 15];
    c.TickHandler = e.later;
    if (e.first) e.first(s, c, param & 15);
    return;
  }
  const EFFECT& e = kEffects[effect];
  c.TickHandler = e.later;
  if (e.first) e.first(s, c, param);
}
