/* palmora: what each effect of the catalogue reads of its arguments, for hosts that build their
 * effect dialogs (and bindings) from the catalogue. */
#ifndef PALMORA_EFFECT_CATALOGUE_H
#define PALMORA_EFFECT_CATALOGUE_H

#include "palmora/export.h"

/* Bits of PMR_IPLGetEffectReads: sliders 1..6 are bits 0..5, options 1..8 bits 6..13, the effect
 * colour bit 14, the script value bit 15, the text argument bit 16. */
#define PMR_EFFECT_READS_SLIDER(n) (1u << ((n)-1))
#define PMR_EFFECT_READS_OPTION(n) (1u << ((n) + 5))
#define PMR_EFFECT_READS_COLOUR (1u << 14)
#define PMR_EFFECT_READS_SCRIPT_VALUE (1u << 15)
#define PMR_EFFECT_READS_TEXT (1u << 16)

/* The arguments the index-th effect (as PMR_IPLGetEffectName counts) reads, as the bits above;
 * 0 past the last effect. */
PMR_API uint32_t PMR_IPLGetEffectReads(int32_t index);

#endif
