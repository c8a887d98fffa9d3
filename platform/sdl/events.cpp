// SDL events into the window messages the library's window procedure
// reads, with the held-key state and the cursor; SDL keys into Windows
// virtual-key codes.
#include "platform/sdl/events.h"

#include <string>

#include "platform/ansi.h"
#include "platform/sdl/video.h"
#include "platform/window.h"

namespace plat::sdl {
namespace {

constexpr int32_t kVkShift = 16, kVkControl = 17, kVkMenu = 18;
constexpr int32_t kVkF10 = 121;
constexpr int32_t kVkLButton = 1, kVkRButton = 2, kVkMButton = 4;
// Mouse message key flags.
constexpr uintptr_t kMkLButton = 0x01, kMkRButton = 0x02, kMkShift = 0x04, kMkControl = 0x08,
                    kMkMButton = 0x10;

struct KeyRow {
  SDL_Scancode scancode;
  int32_t vk;
};

// Every key but the letters and digits, by position.
// clang-format off
constexpr KeyRow kKeys[] = {
    {SDL_SCANCODE_F1, 112},          {SDL_SCANCODE_F2, 113},           {SDL_SCANCODE_F3, 114},
    {SDL_SCANCODE_F4, 115},          {SDL_SCANCODE_F5, 116},           {SDL_SCANCODE_F6, 117},
    {SDL_SCANCODE_F7, 118},          {SDL_SCANCODE_F8, 119},           {SDL_SCANCODE_F9, 120},
    {SDL_SCANCODE_F10, 121},         {SDL_SCANCODE_F11, 122},          {SDL_SCANCODE_F12, 123},
    {SDL_SCANCODE_KP_0, 96},         {SDL_SCANCODE_KP_1, 97},          {SDL_SCANCODE_KP_2, 98},
    {SDL_SCANCODE_KP_3, 99},         {SDL_SCANCODE_KP_4, 100},         {SDL_SCANCODE_KP_5, 101},
    {SDL_SCANCODE_KP_6, 102},        {SDL_SCANCODE_KP_7, 103},         {SDL_SCANCODE_KP_8, 104},
    {SDL_SCANCODE_KP_9, 105},        {SDL_SCANCODE_KP_MULTIPLY, 106},  {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_MINUS, 109},    {SDL_SCANCODE_KP_PERIOD, 110},    {SDL_SCANCODE_KP_DIVIDE, 111},
    {SDL_SCANCODE_KP_ENTER, 13},     {SDL_SCANCODE_BACKSPACE, 8},      {SDL_SCANCODE_TAB, 9},
    {SDL_SCANCODE_RETURN, 13},       {SDL_SCANCODE_PAUSE, 19},         {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, 27},       {SDL_SCANCODE_SPACE, 32},         {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},     {SDL_SCANCODE_END, 35},           {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, 37},         {SDL_SCANCODE_UP, 38},            {SDL_SCANCODE_RIGHT, 39},
    {SDL_SCANCODE_DOWN, 40},         {SDL_SCANCODE_PRINTSCREEN, 44},   {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},       {SDL_SCANCODE_LGUI, 91},          {SDL_SCANCODE_RGUI, 92},
    {SDL_SCANCODE_APPLICATION, 93},  {SDL_SCANCODE_NUMLOCKCLEAR, 144}, {SDL_SCANCODE_SCROLLLOCK, 145},
    {SDL_SCANCODE_LSHIFT, 160},      {SDL_SCANCODE_RSHIFT, 161},       {SDL_SCANCODE_LCTRL, 162},
    {SDL_SCANCODE_RCTRL, 163},       {SDL_SCANCODE_LALT, 164},         {SDL_SCANCODE_RALT, 165},
    {SDL_SCANCODE_SEMICOLON, 186},   {SDL_SCANCODE_EQUALS, 187},       {SDL_SCANCODE_COMMA, 188},
    {SDL_SCANCODE_MINUS, 189},       {SDL_SCANCODE_PERIOD, 190},       {SDL_SCANCODE_SLASH, 191},
    {SDL_SCANCODE_GRAVE, 192},       {SDL_SCANCODE_LEFTBRACKET, 219},  {SDL_SCANCODE_BACKSLASH, 220},
    {SDL_SCANCODE_RIGHTBRACKET, 221}, {SDL_SCANCODE_APOSTROPHE, 222},  {SDL_SCANCODE_NONUSBACKSLASH, 226},
};
// clang-format on

// The generic code a side code also holds (16 for 160 and 161...), or 0.
int32_t GenericOf(int32_t vk) {
  if (vk == 160 || vk == 161) return kVkShift;
  if (vk == 162 || vk == 163) return kVkControl;
  if (vk == 164 || vk == 165) return kVkMenu;
  return 0;
}

void SetKey(int32_t vk, bool down) {
  SetKeyState(vk, down);
  if (const int32_t generic = GenericOf(vk)) {
    const int32_t left = 160 + 2 * (generic - kVkShift);
    SetKeyState(generic, KeyState(left) || KeyState(left + 1));
  }
}

// A point as a message parameter: x in the low 16 bits, y in the next 16.
intptr_t PointParam(int32_t x, int32_t y) {
  return static_cast<intptr_t>((static_cast<uint32_t>(y) & 0xFFFF) << 16 |
                               (static_cast<uint32_t>(x) & 0xFFFF));
}

bool AltHeld(Uint16 mod) { return (mod & KMOD_ALT) && !(mod & KMOD_MODE); }

// The character a key gives by itself (Backspace, Tab, Enter, Escape).
int32_t ControlCharacter(int32_t vk) { return vk == 8 || vk == 9 || vk == 13 || vk == 27 ? vk : 0; }

void Key(const SDL_KeyboardEvent& e) {
  const int32_t vk = VirtualKeyOf(e.keysym);
  if (!vk) return;
  const bool down = e.type == SDL_KEYDOWN;
  SetKey(vk, down);
  const bool system = AltHeld(e.keysym.mod) || GenericOf(vk) == kVkMenu || vk == kVkF10;
  const uint32_t message =
      down ? (system ? kMsgSysKeyDown : kMsgKeyDown) : (system ? kMsgSysKeyUp : kMsgKeyUp);
  // Repeat count 1, the scan code, the previous state and the transition.
  intptr_t lParam = 1 | (static_cast<intptr_t>(e.keysym.scancode) & 0xFF) << 16;
  if (e.repeat || !down) lParam |= intptr_t{1} << 30;
  if (!down) lParam |= intptr_t{1} << 31;
  const int32_t generic = GenericOf(vk);
  PostWindowMessage({message, static_cast<uintptr_t>(generic ? generic : vk), lParam});
  if (down && !system && ControlCharacter(vk))
    PostWindowMessage({kMsgChar, static_cast<uintptr_t>(ControlCharacter(vk)), lParam});
}

void Text(const SDL_TextInputEvent& e) {
  // With Alt held the original made system characters, which nothing reads.
  if (AltHeld(SDL_GetModState())) return;
  for (const char c : Utf8ToAnsi(e.text)) PostWindowMessage({kMsgChar, static_cast<uint8_t>(c), 0});
}

uintptr_t MouseKeys() {
  return (KeyState(kVkLButton) ? kMkLButton : 0) | (KeyState(kVkRButton) ? kMkRButton : 0) |
         (KeyState(kVkMButton) ? kMkMButton : 0) | (KeyState(kVkShift) ? kMkShift : 0) |
         (KeyState(kVkControl) ? kMkControl : 0);
}

void Button(const SDL_MouseButtonEvent& e) {
  const bool down = e.type == SDL_MOUSEBUTTONDOWN;
  PointerMoved(e.x, e.y);
  int32_t vk = 0;
  uint32_t message = 0;
  switch (e.button) {
    case SDL_BUTTON_LEFT: vk = kVkLButton, message = down ? kMsgLButtonDown : kMsgLButtonUp; break;
    case SDL_BUTTON_RIGHT: vk = kVkRButton, message = down ? kMsgRButtonDown : kMsgRButtonUp; break;
    case SDL_BUTTON_MIDDLE: vk = kVkMButton; break;
    default: return;
  }
  SetKeyState(vk, down);
  if (!message) return;
  int32_t x = 0, y = 0;
  GetCursorPos(&x, &y);
  PostWindowMessage({message, MouseKeys(), PointParam(x, y)});
}

void WindowEvent(const SDL_WindowEvent& e) {
  switch (e.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: PostWindowMessage({kMsgActivateApp, 1, 0}); break;
    case SDL_WINDOWEVENT_FOCUS_LOST:
      // Keys released in another application would stay held for ever.
      ReleaseAllKeys();
      PostWindowMessage({kMsgActivateApp, 0, 0});
      break;
    case SDL_WINDOWEVENT_MOVED: PostWindowMessage({kMsgMove, 0, PointParam(e.data1, e.data2)}); break;
    case SDL_WINDOWEVENT_EXPOSED:
      RedrawWindow();
      InvalidateWindow(nullptr);
      break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
      UpdateGeometry();
      RedrawWindow();
      break;
    default: break;
  }
}

}  // namespace

int32_t VirtualKeyOf(const SDL_Keysym& key) {
  if (key.sym >= SDLK_a && key.sym <= SDLK_z) return 'A' + (key.sym - SDLK_a);
  if (key.scancode >= SDL_SCANCODE_A && key.scancode <= SDL_SCANCODE_Z)
    return 'A' + (key.scancode - SDL_SCANCODE_A);
  if (key.scancode >= SDL_SCANCODE_1 && key.scancode <= SDL_SCANCODE_9)
    return '1' + (key.scancode - SDL_SCANCODE_1);
  if (key.scancode == SDL_SCANCODE_0) return '0';
  for (const KeyRow& row : kKeys)
    if (row.scancode == key.scancode) return row.vk;
  return 0;
}

void TranslateEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: Key(event.key); break;
    case SDL_TEXTINPUT: Text(event.text); break;
    case SDL_MOUSEMOTION: PointerMoved(event.motion.x, event.motion.y); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: Button(event.button); break;
    case SDL_WINDOWEVENT: WindowEvent(event.window); break;
    case SDL_QUIT: PostWindowMessage({kMsgClose, 0, 0}); break;
    default: break;
  }
}

void PollEvents() {
  // The frame's size follows the display mode at once, so the pointer
  // lands right before the next showing.
  UpdateGeometry();
  SDL_Event event;
  while (SDL_PollEvent(&event)) TranslateEvent(event);
  FlushFront();
}

}  // namespace plat::sdl
