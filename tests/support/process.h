// Helpers for tests that drive real programs: start a child in a folder with its standard
// output sent to a file, wait for it with a deadline, run a command and read what it printed,
// and ask an X window to close as a window manager would.
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class ChildProcess {
  public:
    // Starts program with args in folder; standard output and error go to outputFile.
    ChildProcess(const std::string& program, const std::vector<std::string>& args,
                 const std::string& folder, const std::string& outputFile);
    ~ChildProcess(); // kills the child if it is still running

    pid_t pid() const { return pid_; }
    // Waits up to seconds; returns the exit status, or -1 if it is still running (or died
    // from a signal, then -1000 - signal).
    int wait(double seconds);
    bool running();
    // CPU seconds (user + system) the child has used so far.
    double cpuSeconds() const;

  private:
    pid_t pid_ = -1;
    bool reaped_ = false;
    int status_ = -1;
};

// Runs a shell command and returns its standard output (trailing newline removed). A command
// still running after seconds is killed with all it started, and what it printed is returned.
std::string runCommand(const std::string& command, double seconds = 120.0);

// Sends WM_DELETE_WINDOW to the window, as a window manager does for the title-bar close.
bool sendCloseRequest(unsigned long window);

// The id of the first window whose name is exactly title, waiting up to seconds; 0 if none.
unsigned long findWindow(const std::string& title, double seconds);
