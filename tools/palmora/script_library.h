// The shipped picture-script library (data/scripts/<family>/NAME.picscript) as the effects that
// take a script by family see it: "Backgrounds Material" takes the material scripts by name.
#pragma once

#include <string>
#include <vector>

namespace host {

// The script family an effect takes ("material", ... "utility"), or empty for other effects.
std::string ScriptFamily(const std::string& effect);

// The names of the family's shipped scripts, sorted.
std::vector<std::string> ScriptNames(const std::string& family);

// The text argument for the effect: a file that exists as given stays as it is; for an effect
// with a script family, a name of that family's library becomes its file. Throws HostError for
// a name that is neither, listing the family's names.
std::string ResolveScriptText(const std::string& effect, const std::string& text);

}  // namespace host
