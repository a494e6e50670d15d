#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>

#include "tests/support/tempdir.h"

namespace logtest {

// Makes a fresh temporary directory the working directory for the life of the object,
// since the engine writes below the working directory; the old one comes back after.
class WorkDir {
public:
    WorkDir();
    ~WorkDir();
    WorkDir(const WorkDir&) = delete;
    WorkDir& operator=(const WorkDir&) = delete;

    const std::filesystem::path& path() const { return temp_->path(); }

private:
    std::filesystem::path previous_;
    std::unique_ptr<testsupport::TempDir> temp_;
};

// The calendar time as the engine's clock gives it (local time, seconds).
std::tm LocalTm(int year, int mon, int day, int hour = 0, int min = 0, int sec = 0);
int64_t LocalSeconds(int year, int mon, int day, int hour = 0, int min = 0, int sec = 0);

}  // namespace logtest
