// The texture bank: the map's TEXTTRI records, its cache records and their
// preprocessed texels written field by field, read back (every count,
// index, offset and size checked) on the next load of the same map at the
// same texture scale, and at scale 4 moved onto the card.
#include <algorithm>
#include <cstring>
#include <vector>

#include "engine3d/powertextures.h"
#include "engine3d/texcache.h"
#include "platform/accel/sgl.h"
#include "shell/console.h"
#include "shell/gamefile.h"
#include "shell/owner.h"
#include "shell/sbvar.h"
#include "system/error.h"
#include "system/heap.h"

namespace {

constexpr int32_t kHeaderBytes = 24;
constexpr uint32_t kMaxVideoBank = 0x200000;
constexpr int32_t kHeapSlack = 256;
constexpr const char* kKeptNames[SB_NBKEPTTEXTURES] = {"TRGROZEB", "GO", "PANSTAD2", "TIMEX1", "TIMEX2", "TIMEX3"};

// "BNK>NAME.BNK" with its last character the scale's digit.
struct BankName {
  char text[SB_FILENAMESIZE] = {};
  BankName() {
    std::memcpy(text, SB_Var.BankFile, strnlen(SB_Var.BankFile, sizeof text - 1));
    const size_t length = std::strlen(text);
    if (length) text[length - 1] = static_cast<char>('0' + SB_Var.TextureScale);
  }
};

// Little-endian words appended to a buffer.
struct Writer {
  std::vector<uint8_t> bytes;
  void U32(uint32_t v) {
    for (int32_t i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
  }
  void Bytes(const void* data, size_t count) {
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + count);
  }
};

// Little-endian words read from a buffer; every read fails past its end.
struct Reader {
  const uint8_t* data;
  size_t size, at = 0;
  bool U32(uint32_t* v) {
    if (size - at < 4) return false;
    *v = 0;
    for (int32_t i = 0; i < 4; ++i) *v |= static_cast<uint32_t>(data[at + i]) << (8 * i);
    at += 4;
    return true;
  }
  bool I32(int32_t* v) { return U32(reinterpret_cast<uint32_t*>(v)); }
  bool Bytes(void* out, size_t count) {
    if (size - at < count) return false;
    std::memcpy(out, data + at, count);
    at += count;
    return true;
  }
  size_t Left() const { return size - at; }
};

bool UsableSlot(int32_t slot) {
  return slot > 0 && slot < SB_MAXCACHETEXTURE && SB_Var.TextureCache[slot].InUse &&
         SB_Var.TextureCache[slot].Map.Pixels;
}

void WriteRecord(Writer& w, const TEXTTRI& r, int32_t page, uint8_t found) {
  for (int32_t v : {r.Area, r.X, r.Y, r.Width, r.Height, page}) w.U32(static_cast<uint32_t>(v));
  char name[SB_TEXTTRINAMESIZE] = {};
  std::memcpy(name, r.Name, strnlen(r.Name, sizeof name - 1));
  w.Bytes(name, sizeof name);
  const uint8_t tail[4] = {found, 0, 0, 0};
  w.Bytes(tail, sizeof tail);
}

void WriteSlot(Writer& w, const TEXTURECACHE& t, uint32_t offset) {
  w.U32(static_cast<uint32_t>(t.Name));
  w.Bytes(t.Map.Id, sizeof t.Map.Id);
  w.U32(static_cast<uint32_t>(t.Map.XSize));
  w.U32(static_cast<uint32_t>(t.Map.YSize));
  w.U32(offset);
  w.U32(t.Weight);
  for (int32_t v : {t.InUse, t.State, t.Size, t.Unused1, t.Class, t.HasLevels, t.CreatedReduced})
    w.U32(static_cast<uint32_t>(v));
  w.U32(t.Flags);
  w.U32(static_cast<uint32_t>(t.Unused2));
}

bool ReadRecord(Reader& in, TEXTTRI* r) {
  return in.I32(&r->Area) && in.I32(&r->X) && in.I32(&r->Y) && in.I32(&r->Width) && in.I32(&r->Height) &&
         in.I32(&r->Page) && in.Bytes(r->Name, sizeof r->Name) && in.Bytes(&r->Found, 1) &&
         in.Bytes(r->Padding, sizeof r->Padding);
}

// A cache record; its texel offset is kept in *offset, the map's pointer
// left null.
bool ReadSlot(Reader& in, TEXTURECACHE* t, uint32_t* offset) {
  *t = TEXTURECACHE{};
  return in.I32(&t->Name) && in.Bytes(t->Map.Id, sizeof t->Map.Id) && in.I32(&t->Map.XSize) &&
         in.I32(&t->Map.YSize) && in.U32(offset) && in.U32(&t->Weight) && in.I32(&t->InUse) &&
         in.I32(&t->State) && in.I32(&t->Size) && in.I32(&t->Unused1) && in.I32(&t->Class) &&
         in.I32(&t->HasLevels) && in.I32(&t->CreatedReduced) && in.U32(&t->Flags) && in.I32(&t->Unused2);
}

// A cache record whose texels lie inside the texel area and whose map the
// library takes at its stated size.
bool SlotFits(TEXTURECACHE& t, uint32_t offset, uint32_t texelBytes, const uint8_t* texels) {
  if (t.Size <= 0 || offset > texelBytes || static_cast<uint32_t>(t.Size) > texelBytes - offset) return false;
  t.Map.Pixels = const_cast<uint8_t*>(texels + offset);
  const int32_t size = sgl_texture_size(&t.Map);
  t.Map.Pixels = nullptr;
  if (size < 0) sgl_get_errors(nullptr, nullptr);
  return size == t.Size;
}

// What a bank holds once read and checked.
struct Bank {
  std::vector<TEXTTRI> records;
  std::vector<TEXTURECACHE> slots;
  std::vector<uint32_t> offsets;
  const uint8_t* texels = nullptr;
  uint32_t texelBytes = 0;
};

// The header's five fixed words; false after their message.
bool CheckHeader(Reader& in, const char* name) {
  struct Field {
    uint32_t expected;
    const char* refusal;
  };
  const Field fields[] = {{static_cast<uint32_t>(SB_BANKMAGIC), "Bad Texture Header (%s) !"},
                          {SB_BANKTEXTTRISIZE, "struct TEXTTRI size changed in (%s) !"},
                          {SB_BANKCACHESIZE, "struct TEXTURECACHE size changed in (%s) !"},
                          {SB_MAXCACHETEXTURE, "MAXCACHETEXTURE changed in (%s) !"},
                          {static_cast<uint32_t>(SB_Var.NbTextures), "nb of texture changed in (%s) !"}};
  for (const Field& f : fields) {
    uint32_t v = 0;
    const bool read = in.U32(&v);
    if (!read || v != f.expected) {
      SB_ConsolePrintf(read ? f.refusal : "Bad Texture Header (%s) !", name);  // a short file is no bank
      return false;
    }
  }
  return true;
}

// The records and the cache count; false for any count, name or index
// that does not hold.
bool ReadRecords(Reader& in, Bank& bank, uint32_t* count) {
  uint32_t n = 0;
  if (!in.U32(&n) || n > static_cast<uint32_t>(SB_MAXTEXTTRI)) return false;
  bank.records.resize(n);
  for (TEXTTRI& r : bank.records)
    if (!ReadRecord(in, &r) || !std::memchr(r.Name, 0, sizeof r.Name)) return false;
  if (!in.U32(count) || *count > static_cast<uint32_t>(SB_MAXCACHETEXTURE - 1)) return false;
  for (const TEXTTRI& r : bank.records)
    if (r.Found && (r.Page < 0 || static_cast<uint32_t>(r.Page) >= *count)) return false;
  return true;
}

// The cache records, the texel count and the texels, which must end the file.
bool ReadSlots(Reader& in, Bank& bank, uint32_t count) {
  bank.slots.resize(count);
  bank.offsets.resize(count);
  for (uint32_t m = 0; m < count; ++m)
    if (!ReadSlot(in, &bank.slots[m], &bank.offsets[m])) return false;
  if (!in.U32(&bank.texelBytes) || bank.texelBytes != in.Left()) return false;
  bank.texels = in.data + in.at;
  for (uint32_t m = 0; m < count; ++m) {
    const int32_t c = bank.slots[m].Class;
    if (c < SB_CACHE_INDISPENSABLE || c > 3) return false;  // never created, never drawn
    if (!SlotFits(bank.slots[m], bank.offsets[m], bank.texelBytes, bank.texels)) return false;
  }
  return true;
}

// Every texture name's picture has a record; false after the message.
bool NamesPresent(const Bank& bank, const char* name) {
  for (int32_t i = 0; i < SB_TextureNameCount(); ++i) {
    char file[SB_TEXTTRINAMESIZE] = {};
    SB_TextureFileName(SB_Var.TextureNames[i], file);
    bool found = false;
    for (const TEXTTRI& r : bank.records) found = found || std::strncmp(r.Name, file, sizeof r.Name) == 0;
    if (!found) {
      SB_ConsolePrintf("... Missing texture %s in bank %s ...", file, name);
      return false;
    }
  }
  return true;
}

void Unplace(std::vector<int32_t>& placed) {
  for (int32_t s : placed) SB_Var.TextureCache[s] = TEXTURECACHE{-1, {}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  placed.clear();
}

// The cache records in the first free slots, their texels in a heap of
// their own; false (nothing left placed) when the cache is full.
bool PlaceSlots(const Bank& bank, std::vector<int32_t>& placed, const char* name) {
  for (size_t m = 0; m < bank.slots.size(); ++m) {
    int32_t slot = 1;
    while (slot < SB_MAXCACHETEXTURE && SB_Var.TextureCache[slot].InUse) ++slot;
    if (slot == SB_MAXCACHETEXTURE) {
      LS_Error(0, "Texture cache full while loading texture bank");
      Unplace(placed);
      return false;
    }
    TEXTURECACHE& t = SB_Var.TextureCache[slot];
    t = bank.slots[m];
    t.Name = -1;  // the card texture it had is not this run's
    t.InUse = 1;
    t.State = SB_CACHE_IDLE;
    t.Weight = 0;
    t.Flags |= SB_TEXFLAG_BANK;
    placed.push_back(slot);
  }
  const uintptr_t heap = bank.texelBytes ? LS_GetHeap(bank.texelBytes + kHeapSlack) : 0;
  auto* block = heap ? static_cast<uint8_t*>(LS_GetMemHeap(heap, bank.texelBytes)) : nullptr;
  if (bank.texelBytes && !block) {
    SB_ConsolePrintf("Not enough memory for texture bank %s !!!", name);
    if (heap) LS_ReleaseHeap(heap);
    Unplace(placed);
    return false;
  }
  SB_ConsoleStatus("... loading texture bank %s (%ldk)", name, static_cast<long>(bank.texelBytes / 1024));
  if (block) std::memcpy(block, bank.texels, bank.texelBytes);
  for (size_t m = 0; m < placed.size(); ++m) SB_Var.TextureCache[placed[m]].Map.Pixels = block + bank.offsets[m];
  SB_Var.BankHeap = heap;
  SB_Var.BankTexels = block;
  SB_Var.BankTexelBytes = static_cast<int32_t>(bank.texelBytes);
  return true;
}

void CommitRecords(const Bank& bank, const std::vector<int32_t>& placed) {
  SB_Var.NbTextTri = static_cast<int32_t>(bank.records.size());
  for (int32_t k = 0; k < SB_Var.NbTextTri; ++k) {
    TEXTTRI& r = SB_Var.TextTri[k];
    r = bank.records[k];
    r.Page = r.Found ? placed[r.Page] : -1;
    SB_Var.TextTriOrder[k] = &r;
  }
}

// Deletes a bank slot's card texture and frees the slot.
void DeleteBankSlot(int32_t slot) {
  TEXTURECACHE& t = SB_Var.TextureCache[slot];
  if (t.Name >= 0) {
    sgl_delete_texture(t.Name);
    int32_t first = 0;
    sgl_get_errors(&first, nullptr);
    if (first != 0)
      LS_Message("delete failed %ld (index:%ld value:%ld)", static_cast<long>(first), static_cast<long>(slot),
                 static_cast<long>(t.Name));
  }
  t.InUse = 0;
  t.Name = -1;
  t.Map.Pixels = nullptr;
}

// The kept pictures' slots get texel blocks of their own; their bytes.
int32_t KeepTexels() {
  int32_t kept = 0;
  for (int32_t j = 0; j < SB_NBKEPTTEXTURES; ++j) {
    char file[SB_TEXTTRINAMESIZE] = {};
    SB_TextureFileName(kKeptNames[j], file);
    const TEXTTRI* r = SB_FindTextTri(file);
    SB_Var.KeptTextures[j] = r ? static_cast<int32_t>(r - SB_Var.TextTri) : -1;
    if (!r || !r->Found || !UsableSlot(r->Page)) continue;
    TEXTURECACHE& t = SB_Var.TextureCache[r->Page];
    const uint8_t* from = static_cast<const uint8_t*>(t.Map.Pixels);
    if (from < SB_Var.BankTexels || from >= SB_Var.BankTexels + SB_Var.BankTexelBytes) continue;  // kept already
    auto* block = static_cast<uint8_t*>(SB_GetMem(t.Size, "texture ram"));
    if (!block) continue;
    std::memcpy(block, from, static_cast<size_t>(t.Size));
    t.Map.Pixels = block;
    SB_Var.KeptTexels[j] = block;
    kept += t.Size;
  }
  return kept;
}

// The kept textures' slots removed and their blocks released.
void ReleaseKept() {
  for (uint8_t*& block : SB_Var.KeptTexels) {
    if (!block) continue;
    for (int32_t s = 1; s < SB_MAXCACHETEXTURE; ++s)
      if (SB_Var.TextureCache[s].InUse && SB_Var.TextureCache[s].Map.Pixels == block) POWER_RemoveCachedTexture(s);
    SB_Release(block);
    block = nullptr;
  }
}

bool IsKept(const TEXTURECACHE& t) {
  for (uint8_t* block : SB_Var.KeptTexels)
    if (block && t.Map.Pixels == block) return true;
  return false;
}

}  // namespace

int32_t POWER_SaveTextureBank() {
  const BankName name;
  int32_t file = 0;
  {
    const SB_KeepFileErrors quiet;  // a bank that cannot be written costs only the next load's time
    file = SB_OpenFile(name.text, SB_OPEN_CREATE);
  }
  if (!file) {
    SB_ConsolePrintf("... Cannot create texture bank %s...", name.text);
    return 0;
  }
  SB_ConsolePrintf("... Saving texture bank %s...", name.text);
  Writer w;
  const int32_t n = SB_Var.NbTextTri < 0 ? 0 : std::min(SB_Var.NbTextTri, SB_MAXTEXTTRI);
  for (uint32_t v : {static_cast<uint32_t>(SB_BANKMAGIC), static_cast<uint32_t>(SB_BANKTEXTTRISIZE),
                     static_cast<uint32_t>(SB_BANKCACHESIZE), static_cast<uint32_t>(SB_MAXCACHETEXTURE),
                     static_cast<uint32_t>(SB_Var.NbTextures), static_cast<uint32_t>(n)})
    w.U32(v);
  std::vector<int32_t> slots;  // distinct, in order of first use
  for (int32_t k = 0; k < n; ++k) {
    const TEXTTRI& r = SB_Var.TextTri[k];
    if (!r.Found || !UsableSlot(r.Page)) {
      WriteRecord(w, r, -1, 0);
      continue;
    }
    size_t at = std::find(slots.begin(), slots.end(), r.Page) - slots.begin();
    if (at == slots.size()) slots.push_back(r.Page);
    WriteRecord(w, r, static_cast<int32_t>(at), 1);
  }
  w.U32(static_cast<uint32_t>(slots.size()));
  uint32_t offset = 0;
  for (int32_t s : slots) {
    WriteSlot(w, SB_Var.TextureCache[s], offset);
    offset += static_cast<uint32_t>(SB_Var.TextureCache[s].Size);
  }
  w.U32(offset);
  for (int32_t s : slots) w.Bytes(SB_Var.TextureCache[s].Map.Pixels, static_cast<size_t>(SB_Var.TextureCache[s].Size));
  const int32_t written = SB_WriteFile(file, w.bytes.data(), static_cast<int32_t>(w.bytes.size()));
  SB_CloseFile(file);
  SB_Var.BuildBank = 0;
  if (written != static_cast<int32_t>(w.bytes.size())) {
    SB_ConsolePrintf("... Cannot create texture bank %s...", name.text);
    return 0;
  }
  return 1;
}

int32_t POWER_LoadTextureBank() {
  const BankName name;
  void* data = nullptr;
  const int32_t size = SB_LoadWholeFile(name.text, &data);
  if (size == SB_FILEMISSING || !name.text[0]) {
    SB_ConsolePrintf("Texture bank %s does not exist !", name.text);
    return 0;
  }
  Reader in{static_cast<const uint8_t*>(data), size > 0 ? static_cast<size_t>(size) : 0};
  Bank bank;
  uint32_t count = 0;
  bool ok = CheckHeader(in, name.text);
  if (ok && !ReadRecords(in, bank, &count)) {
    SB_ConsolePrintf("Bad Texture Header (%s) !", name.text);
    ok = false;
  }
  ok = ok && NamesPresent(bank, name.text);
  if (ok && !ReadSlots(in, bank, count)) {
    SB_ConsolePrintf("Bad Texture Header (%s) !", name.text);
    ok = false;
  }
  std::vector<int32_t> placed;
  ok = ok && PlaceSlots(bank, placed, name.text);
  if (ok) CommitRecords(bank, placed);
  if (data) SB_Release(data);
  if (!ok) return 0;
  SB_ConsolePrintf("... texture bank %s successfully loaded", name.text);
  if (SB_Var.TextureScale == 4) POWER_UploadTextureBank();
  return 1;
}

int32_t POWER_UploadTextureBank() {
  if (static_cast<uint32_t>(SB_Var.BankTexelBytes) > kMaxVideoBank) {
    SB_ConsolePrintf("Texture bank too big to be loaded in videomemory !!!");
    return 0;
  }
  const int32_t kept = KeepTexels();
  std::vector<std::pair<int32_t, void*>> moved;
  for (int32_t s = 1; s < SB_MAXCACHETEXTURE; ++s) {
    TEXTURECACHE& t = SB_Var.TextureCache[s];
    if (!t.InUse || !(t.Flags & SB_TEXFLAG_BANK) || !t.Map.Pixels || IsKept(t)) continue;
    const int32_t cardName = sgl_create_texture(0, 0, 0, 0, &t.Map, 0);
    if (cardName < 0) {
      sgl_get_errors(nullptr, nullptr);
      LS_Error(0, "Cannot move texture memory");
      // The bank stays in main memory: the textures moved so far come back.
      for (auto& [slot, pixels] : moved) {
        TEXTURECACHE& back = SB_Var.TextureCache[slot];
        sgl_delete_texture(back.Name);
        back.Name = -1;
        back.State = SB_CACHE_IDLE;
        back.Map.Pixels = pixels;
      }
      return 0;
    }
    moved.emplace_back(s, t.Map.Pixels);
    t.Name = cardName;
    t.State = SB_CACHE_CREATED;
    t.CreatedReduced = 0;
    t.Map.Pixels = nullptr;
  }
  SB_ConsolePrintf("... Freeing texture bank (Textures moved to videomemory)");
  SB_ConsolePrintf("... Reducing texture memory from %dko to %dko !", SB_Var.BankTexelBytes / 1024, kept / 1024);
  if (SB_Var.BankHeap) LS_ReleaseHeap(SB_Var.BankHeap);
  SB_Var.BankHeap = 0;
  SB_Var.BankTexels = nullptr;
  SB_Var.BankInVideo = 1;
  return 1;
}

int32_t POWER_FreeTextureBank() {
  ReleaseKept();
  if (SB_Var.BankInVideo) {
    for (int32_t s = 1; s < SB_MAXCACHETEXTURE; ++s)
      if (SB_Var.TextureCache[s].InUse && (SB_Var.TextureCache[s].Flags & SB_TEXFLAG_BANK)) DeleteBankSlot(s);
    SB_ConsolePrintf("... Freeing texture in videomemory");
    SB_Var.BankInVideo = 0;
    SB_Var.BankTexelBytes = 0;
    for (int32_t& k : SB_Var.KeptTextures) k = -1;
    return 1;
  }
  if (!SB_Var.BankHeap) return 0;
  SB_ConsolePrintf("... Freeing texture bank");
  // No slot may keep pointing into the heap.
  for (int32_t s = 1; s < SB_MAXCACHETEXTURE; ++s)
    if (SB_Var.TextureCache[s].InUse && (SB_Var.TextureCache[s].Flags & SB_TEXFLAG_BANK)) DeleteBankSlot(s);
  LS_ReleaseHeap(SB_Var.BankHeap);
  SB_Var.BankHeap = 0;
  SB_Var.BankTexels = nullptr;
  SB_Var.BankTexelBytes = 0;
  return 1;
}
