#include "effect_descriptions.h"

#include <algorithm>
#include <cstdio>

#include "data_folder.h"
#include "host_error.h"
#include "palmora/palmora.h"

namespace host {

namespace {

EffectDescription Describe(int32_t index, const char* name) {
  EffectDescription d;
  d.name = name;
  const char* summary = PMR_IPLGetEffectSummary(index);
  d.summary = summary ? summary : "";
  for (int32_t k = 0;; ++k) {
    EffectParameterInfo p;
    const char* label = nullptr;
    const char* defaultText = nullptr;
    if (!PMR_IPLGetEffectParameter(index, k, &p.kind, &p.number, &p.low, &p.high, &p.standard,
                                   &label, &defaultText))
      break;
    p.label = label ? label : "";
    p.defaultText = defaultText ? defaultText : "";
    d.parameters.push_back(p);
  }
  return d;
}

std::string Format(const char* format, auto... values) {
  char line[512];
  std::snprintf(line, sizeof line, format, values...);
  return line;
}

std::string Percent(int tenths) {
  return tenths % 10 == 0 ? Format("%d", tenths / 10) : Format("%.1f", tenths / 10.0);
}

}  // namespace

std::vector<EffectDescription> DescribeEffects() {
  std::vector<EffectDescription> all;
  for (int32_t i = 0; const char* name = PMR_IPLGetEffectName(i); ++i)
    all.push_back(Describe(i, name));
  return all;
}

EffectDescription DescribeEffect(const std::string& name) {
  for (int32_t i = 0; const char* known = PMR_IPLGetEffectName(i); ++i)
    if (name == known) return Describe(i, known);
  throw HostError("unknown effect '" + name + "' (palmora effect --list shows the names)");
}

std::string EffectListText() {
  const std::vector<EffectDescription> all = DescribeEffects();
  std::size_t width = 0;
  for (const EffectDescription& e : all) width = std::max(width, e.name.size());
  std::string text;
  for (const EffectDescription& e : all)
    text += e.name + std::string(width + 2 - e.name.size(), ' ') + e.summary + "\n";
  return text;
}

std::string EffectHelpText(const EffectDescription& effect) {
  std::string text = effect.name + ": " + effect.summary + "\n";
  if (effect.parameters.empty()) return text + "  (no parameters)\n";
  for (const EffectParameterInfo& p : effect.parameters) {
    switch (p.kind) {
      case EffectParameterInfo::kSlider:
        text +=
            Format("  --slider %d=P   %s: %s..%s %%, default %s\n", p.number, p.label.c_str(),
                   Percent(p.low).c_str(), Percent(p.high).c_str(), Percent(p.standard).c_str());
        break;
      case EffectParameterInfo::kOption:
        text += Format("  --option %d=V   %s: %d..%d, default %d\n", p.number, p.label.c_str(),
                       p.low, p.high, p.standard);
        break;
      case EffectParameterInfo::kColour:
        text += Format("  --color R,G,B   %s: default %d,%d,%d\n", p.label.c_str(),
                       p.standard & 0xFF, (p.standard >> 8) & 0xFF, (p.standard >> 16) & 0xFF);
        break;
      case EffectParameterInfo::kText:
        text += "  --text FILE     " + p.label +
                (p.defaultText.empty() ? std::string(" (required)")
                                       : ": default " + p.defaultText + " in the data folder") +
                "\n";
        break;
      default:
        text += Format("  --script-value V   %s: %d..%d, default %d\n", p.label.c_str(), p.low,
                       p.high, p.standard);
    }
  }
  return text;
}

void ApplyDescribedDefaults(const EffectDescription& effect, Canvas::EffectArguments& arguments) {
  for (const EffectParameterInfo& p : effect.parameters) {
    switch (p.kind) {
      case EffectParameterInfo::kSlider:
        if (p.number >= 1 && p.number <= 6) arguments.sliders[p.number - 1] = p.standard;
        break;
      case EffectParameterInfo::kOption:
        if (p.number >= 1 && p.number <= 8) arguments.options[p.number - 1] = p.standard;
        break;
      case EffectParameterInfo::kColour:
        arguments.red = p.standard & 0xFF;
        arguments.green = (p.standard >> 8) & 0xFF;
        arguments.blue = (p.standard >> 16) & 0xFF;
        break;
      case EffectParameterInfo::kText:
        if (!p.defaultText.empty()) arguments.text = DataPath(p.defaultText);
        break;
      case EffectParameterInfo::kScriptValue:
        arguments.scriptValue = p.standard;
        break;
    }
  }
}

}  // namespace host
