#pragma once
// Whose program a start-up entry (the Run value, the desktop shortcut) starts. Copies of the
// program in two folders share the entries' names, so an entry of our name may be another copy's.
enum class EntryOwner {
    Nobody,       // there is no such entry
    ThisProgram,  // it starts the running program file
    OtherProgram, // it starts anything else, or cannot be read as a command
};
