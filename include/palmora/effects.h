/* palmora: running effects by name on the current layer, photo pop and displacement bump. */
#ifndef PALMORA_EFFECTS_H
#define PALMORA_EFFECTS_H

#include "palmora/export.h"

/* Runs the effect named effectName (exact, case-sensitive) on the current layer and writes the
 * result back through the mask and the texture. Sliders are tenths of a percent (0..1000),
 * options per effect, red/green/blue the effect colour (0..255), text a file or a name for the
 * effects that take one ("Lua Filter": the script file; options 1 and 2 are its style choices,
 * 3 to 8 its check boxes). Needs both processing buffers 32 (else does nothing); an unknown name
 * does nothing. Failures leave "IPLImageProc Excpt" as the last error. */
PMR_API void PMR_IPLImageProcess(int32_t reserved, const char* effectName, int32_t scriptValue,
                                 int32_t slider1, int32_t slider2, int32_t slider3, int32_t slider4,
                                 int32_t slider5, int32_t slider6, int32_t option1, int32_t option2,
                                 int32_t option3, int32_t option4, int32_t option5, int32_t option6,
                                 int32_t option7, int32_t option8, int32_t red, int32_t green,
                                 int32_t blue, const char* text);

/* Extra export: the names PMR_IPLImageProcess runs, so a host can list them and tell an unknown
 * name from an effect that changed nothing. Returns the index-th name (0-based, in catalogue
 * order), or null past the last. */
PMR_API const char* PMR_IPLGetEffectName(int32_t index);

/* Extra export: one line saying what the index-th effect does, or null past the last. */
PMR_API const char* PMR_IPLGetEffectSummary(int32_t index);

/* Extra export: the k-th (0-based) argument the index-th effect reads, for hosts that build
 * dialogs or fill in defaults. kind: 0 slider, 1 option, 2 colour, 3 text, 4 script value;
 * number: the slider (1..6) or option (1..8), 0 for the others; low, high and standard: its range
 * and default (sliders in tenths of a percent, a colour as red | green << 8 | blue << 16);
 * label: a short name; defaultText: for a text argument, a file under the data folder ("" when
 * none). Any output pointer may be null. Returns 1, or 0 (nothing written) past the last. */
PMR_API int32_t PMR_IPLGetEffectParameter(int32_t index, int32_t k, int32_t* kind, int32_t* number,
                                          int32_t* low, int32_t* high, int32_t* standard,
                                          const char** label, const char** defaultText);

/* Sharpens the current layer, raises its contrast (contrastAmount 0..1000; extraPass 1 adds a
 * gentle pass first) and scales its saturation (0..100, 50 keeps it). Failures leave
 * "IPLPhotoPop Excpt". */
PMR_API void PMR_IPLPhotoPop(int32_t contrastAmount, double saturation, int32_t extraPass);

/* Displaces the source buffer 32 through the relief painted by the picture script at
 * scriptPath (repeated over the canvas) by amount, filling uncovered places with fillColour
 * (red | green << 8 | blue << 16), and writes it into the current layer. Nothing is written when
 * the script cannot be run. Failures leave "IPLDisplacementBump Excpt". */
PMR_API void PMR_IPLDisplacementBummp(const char* scriptPath, double amount, int32_t fillColour);

#endif
