#pragma once

#include <string>

// The application title: the taskbar text and the caption of the standard error box.
const std::string& ApplicationTitle();

// Start-up up to the message loop: connects to the database and creates the main window, the
// viewer when the connection has been made and the connection parameters dialog otherwise.
void StartUp();

// The whole program on an existing application object; the exit code.
int RunProgram();
