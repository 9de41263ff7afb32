// app_icon: the picture the window manager shows for the game's window.
#pragma once
#include <memory>
#include <string>

struct TPixmap;

int SetAppIcon(const std::string& png_source);  // for the window open now and those opened later; 0 if unreadable
std::shared_ptr<TPixmap> AppIcon();             // the icon set, as RGBA; nullptr when none
void ApplyAppIcon();                            // gives the icon to the display's window, if both exist
