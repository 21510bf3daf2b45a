// The search order of libraries loaded by bare name.
#pragma once

// Takes the current directory out of the order in which LoadLibrary looks
// for a library given by bare name, so that a library planted in whatever
// folder the program was started from is never loaded. The application's
// folder, the system folders and PATH still apply.
void RemoveCurrentDirectoryFromLibrarySearch();
