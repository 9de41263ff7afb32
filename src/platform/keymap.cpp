// keymap: SDL scan codes to the virtual-key codes the game asks about.
// Positional (scan code) mapping keeps the game keys where they are on any layout.
#include <SDL.h>
#include "platform/input.h"

namespace {

struct KeyPair {
  SDL_Scancode scan;
  int vk;
};

const KeyPair kKeys[] = {
    {SDL_SCANCODE_BACKSPACE, 8},         {SDL_SCANCODE_TAB, KEY_TAB},         {SDL_SCANCODE_RETURN, KEY_RETURN},
    {SDL_SCANCODE_KP_ENTER, KEY_RETURN}, {SDL_SCANCODE_PAUSE, 19},            {SDL_SCANCODE_CAPSLOCK, 20},
    {SDL_SCANCODE_ESCAPE, KEY_ESCAPE},   {SDL_SCANCODE_SPACE, KEY_SPACE},     {SDL_SCANCODE_PAGEUP, 33},
    {SDL_SCANCODE_PAGEDOWN, 34},         {SDL_SCANCODE_END, 35},              {SDL_SCANCODE_HOME, 36},
    {SDL_SCANCODE_LEFT, KEY_LEFT},       {SDL_SCANCODE_UP, KEY_UP},           {SDL_SCANCODE_RIGHT, KEY_RIGHT},
    {SDL_SCANCODE_DOWN, KEY_DOWN},       {SDL_SCANCODE_PRINTSCREEN, 44},      {SDL_SCANCODE_INSERT, 45},
    {SDL_SCANCODE_DELETE, 46},           {SDL_SCANCODE_LGUI, 91},             {SDL_SCANCODE_RGUI, 92},
    {SDL_SCANCODE_APPLICATION, 93},      {SDL_SCANCODE_KP_MULTIPLY, 106},     {SDL_SCANCODE_KP_PLUS, 107},
    {SDL_SCANCODE_KP_MINUS, 109},        {SDL_SCANCODE_KP_PERIOD, 110},       {SDL_SCANCODE_KP_DIVIDE, 111},
    {SDL_SCANCODE_NUMLOCKCLEAR, 144},    {SDL_SCANCODE_SCROLLLOCK, 145},      {SDL_SCANCODE_LSHIFT, KEY_LSHIFT},
    {SDL_SCANCODE_RSHIFT, KEY_RSHIFT},   {SDL_SCANCODE_LCTRL, KEY_LCONTROL},  {SDL_SCANCODE_RCTRL, KEY_RCONTROL},
    {SDL_SCANCODE_LALT, KEY_LALT},       {SDL_SCANCODE_RALT, KEY_RALT},       {SDL_SCANCODE_SEMICOLON, 186},
    {SDL_SCANCODE_EQUALS, 187},          {SDL_SCANCODE_COMMA, 188},           {SDL_SCANCODE_MINUS, 189},
    {SDL_SCANCODE_PERIOD, 190},          {SDL_SCANCODE_SLASH, 191},           {SDL_SCANCODE_GRAVE, 192},
    {SDL_SCANCODE_LEFTBRACKET, 219},     {SDL_SCANCODE_BACKSLASH, 220},       {SDL_SCANCODE_RIGHTBRACKET, 221},
    {SDL_SCANCODE_APOSTROPHE, 222},
};

}  // namespace

int KeyCodeFromSdl(int sdl_keycode, int sdl_scancode) {
  (void)sdl_keycode;
  int s = sdl_scancode;
  if (s >= SDL_SCANCODE_A && s <= SDL_SCANCODE_Z) return 'A' + (s - SDL_SCANCODE_A);
  if (s >= SDL_SCANCODE_1 && s <= SDL_SCANCODE_9) return '1' + (s - SDL_SCANCODE_1);
  if (s == SDL_SCANCODE_0) return '0';
  if (s >= SDL_SCANCODE_F1 && s <= SDL_SCANCODE_F12) return 112 + (s - SDL_SCANCODE_F1);
  if (s >= SDL_SCANCODE_KP_1 && s <= SDL_SCANCODE_KP_9) return 97 + (s - SDL_SCANCODE_KP_1);
  if (s == SDL_SCANCODE_KP_0) return 96;
  for (const KeyPair& k : kKeys)
    if (k.scan == s) return k.vk;
  return 0;
}
