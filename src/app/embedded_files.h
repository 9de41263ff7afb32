// embedded_files: the six pictures and the font carried inside the program.
#pragma once

void RegisterGameFiles();  // registers every embedded file under its own name
