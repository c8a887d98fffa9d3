// The music player's replay: ticks, rows and pattern cells, turning notes
// and samples into the channels' positions, periods and volumes.
#include <cstring>

#include "system/modstate.h"

namespace {

void MixChannels(MODSTATE& s) {
  for (uint32_t i = 0; i < s.Channels; ++i) LSI_ModDriver->Mix(s, s.Channel[i]);
}

// Takes a sample for the channel: its volume and finetune, from the start.
void SelectSample(MODSTATE& s, MODCHANNEL& c, uint32_t index) {
  c.Sample = index * 4;
  c.Volume = s.SampleVolume[index];
  c.FinetuneOffset = s.SampleFinetune[index];
  LSI_ModRestartSample(s, c);
}

// A cell of tone portamento: the note becomes the slide's target; a
// different sample starts from its start; nothing while no note sounds.
void ToneCell(MODSTATE& s, MODCHANNEL& c, uint32_t note, uint32_t sample) {
  if (c.Period == 0) return;
  if (sample) {
    const uint32_t index = sample - 1;
    if (c.Sample != index * 4) {
      c.Sample = index * 4;
      LSI_ModRestartSample(s, c);
    }
    c.FinetuneOffset = s.SampleFinetune[index];
    c.Volume = s.SampleVolume[index];
  }
  if (note) c.TonePeriod = LSI_ModPeriod(c.FinetuneOffset, note);
}

// Moves to the next song position: the break row (row 0 above 63), the
// restart position past the song's end.
void NextPosition(MODSTATE& s) {
  s.JumpFlag = 0;
  s.Row = s.BreakRow < LS_MODROWS ? s.BreakRow : 0;
  s.BreakRow = 0;
  int32_t order = s.OrderIndex + 1;
  for (uint32_t i = 0; i < s.Channels; ++i) s.Channel[i].LoopRow = 0;
  if (order < 0 || order >= static_cast<int32_t>(s.SongLength)) order = static_cast<int32_t>(s.RestartPosition);
  s.OrderIndex = order;
  s.CurrentPattern = s.Orders[order];
}

}  // namespace

uint32_t LSI_ModCell(const uint8_t* cell) {
  uint32_t value;
  std::memcpy(&value, cell, sizeof value);
  return value;
}

void LSI_ModRestartSample(MODSTATE& s, MODCHANNEL& c) {
  const uint32_t index = c.Sample / 4;
  if (index >= LS_MODSAMPLES) return;
  c.Position = s.SampleStart[index];
  c.Fraction = 0;
  c.Retriggered = 1;
}

void LSI_AsmTick(MODSTATE& s) {
  if (!s.Playing) return;
  --s.TickCounter;
  if (s.TickCounter == 0 && s.Speed != 0) {
    s.TickCounter = s.Speed;
    LSI_AsmNewRow(s);
    return;
  }
  for (uint32_t i = 0; i < s.Channels; ++i) {
    MODCHANNEL& c = s.Channel[i];
    if (c.TickHandler) c.TickHandler(s, c);
    LSI_ModDriver->Mix(s, c);
  }
}

void LSI_AsmNewRow(MODSTATE& s) {
  for (uint32_t i = 0; i < s.Channels; ++i) {
    MODCHANNEL& c = s.Channel[i];
    if (c.LoopPending && c.LoopCounter) {
      c.LoopPending = 0;
      s.Row = c.LoopRow;
    }
  }
  if (s.PatternDelay) {
    --s.PatternDelay;
    MixChannels(s);
    return;
  }
  if (s.JumpFlag || s.Row >= LS_MODROWS) NextPosition(s);
  const uint32_t row = s.Row < LS_MODROWS ? static_cast<uint32_t>(s.Row) : 0;
  const uint32_t rowBytes = LS_MODCELLSIZE * s.Channels;
  const uint8_t* cells = s.ModuleData + s.CurrentPattern * rowBytes * LS_MODROWS + row * rowBytes;
  for (uint32_t i = 0; i < s.Channels; ++i) {
    LSI_AsmParseCell(s, s.Channel[i], cells + i * LS_MODCELLSIZE);
    LSI_ModDriver->Mix(s, s.Channel[i]);
  }
  s.Row = row + 1;
}

void LSI_AsmParseCell(MODSTATE& s, MODCHANNEL& c, const uint8_t* at) {
  const uint32_t cell = LSI_ModCell(at);
  const uint32_t effect = (cell >> 8) & 15, param = cell & 0xFF;
  if (effect == 0xE && (param >> 4) == 0xD && (param & 15)) {
    c.DelayCounter = param & 15;
    c.DelayedCell = at;
    c.DelayedProc = LSI_AsmCellNote;
    c.TickHandler = LSI_ModNoteDelayTick;
    return;
  }
  LSI_AsmCellNote(s, c, cell);
  LSI_ModEffect(s, c, effect, param);
}

void LSI_AsmCellNote(MODSTATE& s, MODCHANNEL& c, uint32_t cell) {
  const uint32_t note = cell >> 20, effect = (cell >> 8) & 15, param = cell & 0xFF;
  uint32_t sample = (cell >> 12) & 0xFF;
  if (sample >= LS_MODSAMPLES) sample = 0;  // numbers above 31 are not samples
  if (effect == 3 || effect == 5) {
    ToneCell(s, c, note, sample);
    return;
  }
  if (sample && note) {
    SelectSample(s, c, sample - 1);
  } else if (sample) {
    const uint32_t index = c.Sample / 4;
    if (index < LS_MODSAMPLES) {
      c.FinetuneOffset = s.SampleFinetune[index];
      c.Volume = s.SampleVolume[index];
    }
  } else if (note) {
    LSI_ModRestartSample(s, c);
  }
  if (effect == 0xE && (param >> 4) == 5) c.FinetuneOffset = static_cast<uint16_t>((param & 15) * LS_MODFINETUNESTEP);
  if (note) {
    c.Period = LSI_ModPeriod(c.FinetuneOffset, note);
    LSI_ModDriver->PeriodToStep(s, c, c.Period);
  }
}

void LSI_ModNoteDelayTick(MODSTATE& s, MODCHANNEL& c) {
  if (c.DelayCounter && --c.DelayCounter) return;
  c.TickHandler = nullptr;
  if (c.DelayedCell && c.DelayedProc) c.DelayedProc(s, c, LSI_ModCell(c.DelayedCell));
}
