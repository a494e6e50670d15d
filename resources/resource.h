#pragma once

// Identifiers of the program's own resources.
#define ICON_LOGO 101
