#pragma once

// A Ghostscript process's scratch folder, reached only through descriptors: the folder itself and the temporary folder
// that holds it. Shared by the program and ZolvaneGhostscript, which removes its folder when the program is gone.
// System calls only, so that a signal handler may call them; links found inside are removed, never followed.
namespace ScratchFolder {

// Removes what the folder open at folder holds: files, links, and folders that are empty.
void empty(int folder);

// Empties the folder open at folder, then removes it from the folder open at parent, where it bears name, provided
// that name still names that very folder there.
void remove(int parent, const char* name, int folder);

} // namespace ScratchFolder
