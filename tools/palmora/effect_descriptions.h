// What the engine says about its effects: one line each, and the sliders, options, colour and
// text each reads with a label, range and default.
#pragma once

#include <string>
#include <vector>

#include "canvas.h"

namespace host {

struct EffectParameterInfo {
  enum Kind { kSlider = 0, kOption = 1, kColour = 2, kText = 3, kScriptValue = 4 };
  int kind = 0;
  int number = 0;
  int low = 0, high = 0, standard = 0;
  std::string label;
  std::string defaultText;
};

struct EffectDescription {
  std::string name;
  std::string summary;
  std::vector<EffectParameterInfo> parameters;
};

// Every effect the engine runs, in its menu order.
std::vector<EffectDescription> DescribeEffects();
// The description of exactly that name; throws HostError for a name the engine does not know.
EffectDescription DescribeEffect(const std::string& name);

// "name  summary" lines for every effect.
std::string EffectListText();
// The effect's summary and one line per argument with its range and default.
std::string EffectHelpText(const EffectDescription& effect);

// Fills the arguments with the described defaults (a text argument's default file resolved in
// the data folder); values given on the command line are applied afterwards.
void ApplyDescribedDefaults(const EffectDescription& effect, Canvas::EffectArguments& arguments);

}  // namespace host
