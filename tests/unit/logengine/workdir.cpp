#include "workdir.h"

namespace logtest {

WorkDir::WorkDir() : previous_(std::filesystem::current_path()), temp_(std::make_unique<testsupport::TempDir>()) {
    std::filesystem::current_path(temp_->path());
}

WorkDir::~WorkDir() {
    std::error_code ec;
    std::filesystem::current_path(previous_, ec);
    temp_.reset();
}

}  // namespace logtest
