// Where the host finds the files shipped in data/ (paint scripts, brush pictures, picture
// scripts, filters): --data, else $PALMORA_DATA, else the source tree when the program runs from
// its build folder, else the installed folder found relative to the program itself.
#pragma once

#include <string>

namespace host {

void SetDataFolder(const std::string& folder);
// The data folder, ending with a separator.
std::string DataFolder();
// A shipped file's path: names that exist as given are kept, others are looked up in the folder.
std::string DataPath(const std::string& name);

}  // namespace host
