#pragma once

#include "gui/app/mainwindow.h"

#include <functional>

// The program from start to end: one copy per data directory, the size pack, the main window and
// its loop, and the end of the session. SIGTERM, SIGHUP and SIGINT, and the desktop ending the
// session, save the ledger as a confirmed "X" does, without a question, and end the program; a
// second signal while that save runs does not cut it short.
//
// `login` stands in for the login dialog and `started` is called once the window shows: for a
// test that drives the program itself.
int runProgram(int argc, char** argv, MainWindow::LoginStep login = {},
               const std::function<void(MainWindow&)>& started = {});
