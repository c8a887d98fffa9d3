// Inside the music module player: the player state shared by the replay
// and the mixer, the channel records, the output driver and format driver
// tables, the tables of periods and the routines of the mixer, the replay
// and the mixing thread.
//
// The mixing thread works on LSI_ModState under the player's mutex; the
// main thread writes only the LSI_SHARED fields (master volume, position,
// playing flag) and otherwise touches the state while the thread is
// parked.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>

namespace plat::audio {
struct Buffer;
}

// Sizes of the player and of the module file.
constexpr uint32_t LS_MODSTREAMSIZE = 32768;   // stream buffer, bytes
constexpr uint32_t LS_MODMIXBUFFER = 132112;   // volume tables, then the accumulator
constexpr uint32_t LS_MODSPARE = 4096;         // bytes a module's block holds beyond its file
constexpr uint32_t LS_MODGUARD = 32;           // guard bytes after each playable sample
constexpr uint32_t LS_MODMAXCHANNELS = 32;
constexpr uint32_t LS_MODSAMPLES = 32;         // 31 samples, then the empty "none"
constexpr uint32_t LS_MODNOSAMPLE = 124;       // a channel's sample field for none (index x 4)
constexpr uint32_t LS_MODORDERS = 128;
constexpr uint32_t LS_MODROWS = 64;
constexpr uint32_t LS_MODVOLUMES = 64;         // volume tables
constexpr uint32_t LS_MODTABLEENTRIES = 256;   // entries per volume table, one per sample byte
constexpr uint32_t LS_MODACCUMULATOR = (LS_MODMIXBUFFER / 4) - LS_MODVOLUMES * LS_MODTABLEENTRIES;
constexpr uint32_t LS_MODDEFAULTRATE = 44100;  // output rate until a stream exists

// The module file.
constexpr uint32_t LS_MODHEADERSIZE = 1084;    // up to the first pattern
constexpr uint32_t LS_MODSAMPLEHEADERS = 20;   // offset of sample header 1
constexpr uint32_t LS_MODSAMPLEHEADERSIZE = 30;
constexpr uint32_t LS_MODSONGLENGTH = 950;
constexpr uint32_t LS_MODRESTART = 951;
constexpr uint32_t LS_MODORDERTABLE = 952;
constexpr uint32_t LS_MODTAG = 1080;
constexpr uint32_t LS_MODCELLSIZE = 4;

// Period table: 16 finetune rows of 86 entries (65535, 84 notes C-0 to
// B-6, 0). Offsets into it are in bytes, as the channels keep them: a
// row's offset is its finetune nibble x 172, a note's is twice its index.
constexpr uint32_t LS_MODPERIODROW = 86;
constexpr uint32_t LS_MODFINETUNESTEP = 2 * LS_MODPERIODROW;
constexpr uint32_t LS_MODLASTNOTE = 85;        // the final 0
constexpr uint32_t LS_MODARPEGGIOTOP = 83;     // A#6, the highest arpeggio note
constexpr uint32_t LS_MODPERIODMIN = 28;
constexpr uint32_t LS_MODPERIODMAX = 3437;
extern const std::array<std::array<uint16_t, LS_MODPERIODROW>, 16> LSI_ModPeriods;
// Half a sine period, for vibrato and tremolo.
extern const uint8_t LSI_ModWave[64];

// The period at a finetune row offset and note offset (bytes).
uint16_t LSI_ModPeriod(uint32_t finetuneOffset, uint32_t noteOffset);
// The note index (1-85) whose finetune-0 period is the first not above p.
uint32_t LSI_ModNoteOfPeriod(uint32_t period);

// A field the main thread writes while the mixing thread runs: an atomic
// that copies by value, so that the state is still saved and restored as
// a whole.
template <typename T>
class LSI_SHARED {
 public:
  LSI_SHARED(T value = T{}) : value_(value) {}
  LSI_SHARED(const LSI_SHARED& other) : value_(other.value_.load()) {}
  LSI_SHARED& operator=(const LSI_SHARED& other) {
    value_.store(other.value_.load());
    return *this;
  }
  LSI_SHARED& operator=(T value) {
    value_.store(value);
    return *this;
  }
  operator T() const { return value_.load(); }

 private:
  std::atomic<T> value_;
};

struct MODSTATE;
struct MODCHANNEL;
// A channel's routine for the ticks after a row's first.
using MODTICKPROC = void (*)(MODSTATE& s, MODCHANNEL& c);
// Processes a pattern cell for a channel (the note delay replays it).
using MODCELLPROC = void (*)(MODSTATE& s, MODCHANNEL& c, uint32_t cell);

// One playing channel.
struct MODCHANNEL {
  uint32_t Sample;        // sample index x 4; LS_MODNOSAMPLE = none
  uint16_t SlideSpeed;    // effects 1 and 2
  uint8_t TremoloParam;   // speed high nibble, depth low nibble
  const uint8_t* Position;  // next sample byte
  uint32_t Fraction;      // 16.16 step accumulator's fraction
  uint8_t LoopRow, LoopCounter, LoopPending;  // effect E6
  uint16_t TonePeriod, ToneSpeed;             // effect 3
  uint8_t VibratoParam;   // speed high nibble, depth low nibble
  uint8_t WavePosition;   // shared by vibrato and tremolo
  uint16_t FinetuneOffset;  // byte offset of the period row
  MODTICKPROC TickHandler;  // null: none
  uint8_t Number;
  uint8_t Volume;         // 0-64
  uint16_t Period;
  uint32_t Step;          // 16.16 sample bytes per output sample
  uint16_t ArpeggioPeriods[3];
  uint16_t ArpeggioIndex;  // 0, 2 or 4
  uint8_t VolumeDown, VolumeUp;
  uint8_t Pan;            // 0 left, 0x80 right
  uint8_t RetriggerCounter, RetriggerInterval;
  uint8_t CutCounter;
  uint8_t DelayCounter;
  const uint8_t* DelayedCell;
  MODCELLPROC DelayedProc;
  uint8_t Retriggered;    // set when the sample restarts, cleared by the mixer
};

struct MODFORMAT;
struct MODULE;

// The player state: the output stream, the mixer's set-up and the song.
struct MODSTATE {
  // Output.
  uint32_t StreamSize;
  uint8_t* LockAddress[2];  // the two regions of the current stream lock
  uint32_t LockBytes[2];
  uint32_t WritePos;        // byte offset in the stream buffer
  uint32_t Stereo;          // 1 when the primary format has 2 channels
  uint32_t Bits16;          // 1 when it has 16 bits per sample
  uint32_t SamplesPerTick, BytesPerTick;
  int32_t* MixBuffer;       // LS_MODVOLUMES tables of LS_MODTABLEENTRIES entries
  int32_t* Accumulator;     // two words (left, right) per output sample
  uint32_t Rate;
  uint32_t StepConstant;    // 3579364 x 65536 / rate
  uint8_t* ModuleData;
  uint32_t ModuleSize;      // bytes of the block in use
  LSI_SHARED<uint8_t> MasterVolume;

  // Song.
  const MODFORMAT* Format;
  uint32_t HighestPattern;
  uint32_t Channels;
  uint32_t SongLength;
  uint32_t RestartPosition;
  LSI_SHARED<uint32_t> Playing;
  LSI_SHARED<uint32_t> CurrentPattern;
  LSI_SHARED<uint32_t> Row;
  uint32_t Tempo;
  uint32_t Speed;           // ticks per row; 0 halts the song
  uint32_t TickCounter;
  uint32_t PatternDelay;
  uint32_t BreakRow;
  uint32_t JumpFlag;
  LSI_SHARED<int32_t> OrderIndex;
  const uint8_t* SampleStart[LS_MODSAMPLES];
  const uint8_t* SampleEnd[LS_MODSAMPLES];  // the loop's end for a looping sample
  const uint8_t* SampleLoopStart[LS_MODSAMPLES];
  uint32_t SampleLoopLength[LS_MODSAMPLES];  // bytes; 0 for a one-shot sample
  uint8_t SampleVolume[LS_MODSAMPLES];
  uint16_t SampleFinetune[LS_MODSAMPLES];    // byte offset of the period row
  uint8_t Orders[LS_MODORDERS];
  MODCHANNEL Channel[LS_MODMAXCHANNELS];
};

// The output driver: the routines the replay calls. Slots 0-2 and 4-7
// are empty.
struct MODDRIVER {
  void (*Slot0)();
  void (*Slot1)();
  void (*Slot2)();
  // Lays out one sample's guard: moves the bytesBehind bytes after the
  // sample LS_MODGUARD bytes up and fills the gap.
  void (*PrepareSample)(uint8_t* start, uint32_t length, uint32_t loopStart, uint32_t loopLength,
                        uint32_t bytesBehind);
  void (*Slot4)();
  void (*Slot5)();
  void (*Slot6)();
  void (*Slot7)();
  // Mixes one channel for one tick into the accumulator.
  void (*Mix)(MODSTATE& s, MODCHANNEL& c);
  // Samples and bytes per tick of a tempo.
  void (*SetTempo)(MODSTATE& s, uint32_t tempo);
  // The channel's step for a period (its low 12 bits; 0 keeps the step).
  void (*PeriodToStep)(MODSTATE& s, MODCHANNEL& c, uint32_t period);
  // Converts the accumulator into stream bytes and clears it.
  void (*OutputMix)(MODSTATE& s, uint8_t* first, uint32_t firstBytes, uint8_t* second, uint32_t secondBytes);
};

// A module format: parses the module in s.ModuleData (fileSize bytes of
// file in a block of fileSize + LS_MODSPARE), 1 when it is one; and
// advances it by one tick.
struct MODFORMAT {
  int32_t (*Parse)(MODSTATE& s, uint32_t fileSize);
  void (*Tick)(MODSTATE& s);
};

extern MODSTATE LSI_ModState;
// The driver the replay calls through: the player's own, or a test's.
extern const MODDRIVER* LSI_ModDriver;
extern const MODDRIVER LSI_ModPlayerDriver;
// The known formats, null-terminated.
extern const MODFORMAT* const LSI_ModFormats[];
extern const MODFORMAT LSI_ProTrackerFormat;

// The player's record beside the state: what lives from init to close and
// the fade.
struct MODPLAYER {
  uint32_t Initialised;
  plat::audio::Buffer* Stream;
  int32_t* MixBuffer;
  uint32_t Stereo, Bits16, Rate;  // the stream's format
  LSI_SHARED<uint32_t> Paused;
  LSI_SHARED<uint32_t> FadeActive;
  LSI_SHARED<uint32_t> FadeStart;     // tick count, ms
  LSI_SHARED<uint32_t> FadeDuration;  // ms
  LSI_SHARED<uint8_t> FadeTarget;     // volume; 0 fades out
};
extern MODPLAYER LSI_ModPlayer;

// Mixer.
void LSI_BuildVolumeTables(int32_t* tables, uint32_t divisor);
// The volume-table divisor of a module: its channel count in mono, the
// channels of the fuller side in stereo.
uint32_t LSI_ModMixDivisor(uint32_t channels, uint32_t stereo);
// floor(3579364 x 65536 / rate), 0 for rate 0.
uint32_t LSI_ModStepConstant(uint32_t rate);
void LS_ModuleMixer(MODSTATE& s, MODCHANNEL& c);
void LSI_AsmSetTempo(MODSTATE& s, uint32_t tempo);
void LSI_AsmPeriodToStep(MODSTATE& s, MODCHANNEL& c, uint32_t period);
void LSI_AsmPrepareSample(uint8_t* start, uint32_t length, uint32_t loopStart, uint32_t loopLength,
                          uint32_t bytesBehind);
void LSI_AsmOutputMix(MODSTATE& s, uint8_t* first, uint32_t firstBytes, uint8_t* second, uint32_t secondBytes);
// Converts bytes of stream from the accumulator, starting at its word
// *word and leaving *word after the last one used.
void LSI_AsmConvertMix(const MODSTATE& s, uint8_t* to, uint32_t bytes, uint32_t* word);

// Replay.
int32_t LSI_AsmSelectDriver(MODSTATE& s, uint32_t fileSize);
int32_t LSI_AsmDetectFormat(MODSTATE& s, uint32_t fileSize);
// Channel count of a format tag; 0 when it is not one.
uint32_t LSI_ModChannelsOfTag(const uint8_t* tag);
void LSI_AsmTick(MODSTATE& s);
void LSI_AsmNewRow(MODSTATE& s);
void LSI_AsmParseCell(MODSTATE& s, MODCHANNEL& c, const uint8_t* cell);
// The rewritten cell at an address of the pattern data: note offset in
// bits 20-31, sample number in bits 12-19, effect in 8-11, parameter 0-7.
uint32_t LSI_ModCell(const uint8_t* cell);
// The note and sample of a cell (everything but the effect).
void LSI_AsmCellNote(MODSTATE& s, MODCHANNEL& c, uint32_t cell);
// The effect of a cell: its tick routine, then its first tick.
void LSI_ModEffect(MODSTATE& s, MODCHANNEL& c, uint32_t effect, uint32_t param);
// The note-delay tick routine.
void LSI_ModNoteDelayTick(MODSTATE& s, MODCHANNEL& c);
// Restarts the channel's sample at its start.
void LSI_ModRestartSample(MODSTATE& s, MODCHANNEL& c);

// Player.
// Parses a module's file into its saved state; 0 when it is not a module.
int32_t LSI_ParseModule(MODULE* module, uint32_t fileSize);
void LSI_AsmStartModule(MODSTATE& saved);
void LSI_StartModuleStream(int32_t volume, uint32_t fadeMs);
// One mixing step: the fade, then, when the stream has room, two ticks
// written to it.
void LSI_MixModule();

// The mixing thread. It starts parked; running, it waits a real 20 ms and
// runs one mixing step per turn. Suspend parks it at a step boundary and
// waits until it has (except on the thread itself); a held thread stays
// parked (tests run the steps themselves).
void LSI_StartModuleThread();
void LSI_EndModuleThread();
void LSI_SuspendModuleThread();
void LSI_ResumeModuleThread();
int32_t LSI_ModuleThreadRunning();
int32_t LSI_ModuleThreadParked();
void LSI_HoldModuleThread(int32_t hold);
