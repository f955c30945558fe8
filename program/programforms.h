#pragma once
// How the program is put together: the forms and routines of the folders above the
// shell, hooked into the main menu and into one another.

// Fills every hook: the main menu's forms, the listings the grid and the
// missing-items form print, the page steps of the form routines, and the
// server client's timer and message box.
void InstallForms();
