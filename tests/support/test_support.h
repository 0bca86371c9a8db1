// Helpers shared by the tests: temporary folders that become the working directory, and
// small file writers.
#pragma once

#include <string>

#include "runtime/kp_string.h"

// A fresh temporary folder made the working directory for the test's lifetime.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
    std::string previous_;
};

// The build folder the tests run from (where the programs and the data folder are).
std::string buildDir();

void writeFile(const std::string& path, const std::string& bytes);
std::string readFile(const std::string& path);
