#pragma once
// The database server client's ties to the window system.

// From now on a server connection polls with the class library's timer and,
// without an OnError handler of its own, reports in the class library's message box.
void InstallServerClientServices();
