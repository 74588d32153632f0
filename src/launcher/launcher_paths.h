// Where the launcher program keeps its settings files, and the directories
// under the user's home that the installer proposes by default. Every path
// is built from the home directory; directory paths end with "/".
//
//   ProductUserDirectory      H/.kelda/
//   DefaultProductDirectory   H/.kelda/KV/kelda/
//   DefaultTemplateDirectory  H/.kelda/KV/kelda/tmplts/
//   PrimaryLauncherFile       H/.KV/kvlaunch/kvlaunch.cfg
//   SecondaryLauncherFile     H/.KV/kvlauncht/kvlaunch.cfg
//   ProductLauncherFile       H/.kelda/.KV/kvlaunch/kvlaunch.cfg
//
// An empty HOME counts as unset: the password database names the home. When
// the home directory cannot be found, or the locale cannot represent it, H is
// empty and the paths start at the root directory.
#pragma once

#include "text/basic_string.h"

// The expansion of "~" (the HOME environment variable; when that is empty,
// the user's entry in the password database), or empty.
stdx::string16 HomeDirectory();

stdx::string16 ProductUserDirectory();
stdx::string16 DefaultProductDirectory();
stdx::string16 DefaultTemplateDirectory();

stdx::string16 PrimaryLauncherFile();
stdx::string16 SecondaryLauncherFile();
stdx::string16 ProductLauncherFile();

// The directory part of a file path: everything before its last "/" or "\",
// or empty when there is neither.
stdx::string16 DirectoryOfFile(const stdx::string16& path);
