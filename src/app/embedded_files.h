// embedded_files: the pictures, the font and the window's icon carried inside the program.
#pragma once

void RegisterGameFiles();  // registers every embedded file under its own name
