#pragma once

#include <string>
#include <utility>
#include <vector>

#include "uikit/application_win.h"
#include "uikit/hostwnd_win.h"

namespace testsupport {

// The toolkit set up once for the test program, over its own resources, as the program
// does at start-up: stb decoder, "SearchHost", the named identifiers given at the first
// call, the toolkit's resources and the UI definition "uidef:xml_init". The tests' message
// pump then runs each message through the toolkit's loop turn, keyboard included.
uikit::SApplication& ToolkitApp(const std::vector<std::pair<std::string, int>>& namedIds);

// Builds the pages the window builds only when first needed, so that a test visiting every
// control (ForEachControl) finds them all.
void BuildEveryPage(uikit::SHostWnd& host);

}  // namespace testsupport
