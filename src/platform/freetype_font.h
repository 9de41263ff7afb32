// freetype_font: the TrueType glyph source behind the game's font.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include "platform/font.h"

// A face at `size` pixels, or the largest smaller size it accepts; nullptr when the source
// can't be opened or isn't a face. "::" sources are read whole into memory and kept.
std::shared_ptr<TFont> LoadFreeTypeFont(const std::string& source, int size, int style);
std::shared_ptr<TFont> LoadFreeTypeFontFromMemory(const uint8_t* data, size_t size, int pixels, int style);
