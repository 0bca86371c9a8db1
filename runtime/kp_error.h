// Diagnostics and the runtime error routine: standard output lines, the player's error lines
// on standard error, fatal errors with their exit statuses (0 for the empty message, the
// normal quit; 255 for a real error), and the handler that turns SIGSEGV, SIGILL and SIGFPE
// into a fatal report.
#pragma once

#include "runtime/kp_string.h"

// Writes text as UTF-8 and a line feed to standard output, then flushes.
void kpPrint(const String& text);
void kpPrint(std::string_view utf8);
void kpDebugLog(const String& text);
// Writes "Brambolt3: " + text and a line feed to standard error: what the player must know
// (missing data, a save that failed), apart from the program's own lines.
void kpPrintError(std::string_view utf8);

// Ends the process: status 0 for an empty message, otherwise prints
// "Zembra Runtime Error : " + message and an empty line, and exits with status -1 (255).
[[noreturn]] void kpError(const String& message);
[[noreturn]] void kpError(std::string_view utf8);

// The report for a thrown object that escaped: "Uncaught Zembra Exception", status -1.
[[noreturn]] void kpDieUncaught();

// Installs sighandler for SIGSEGV, SIGILL and SIGFPE.
void kpInstallSignalHandlers();

// The fatal-signal message for a signal number ("Unknown signal" for any other).
const char* kpSignalMessage(int signal);
