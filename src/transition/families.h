// The makers of the built transition families, one per family kind; the
// catalogue's kinds map to them in family_makers.cpp.
#pragma once

#include "transition/catalogue.h"

namespace lv {

TransitionPtr makeCrossFade(const CatalogueRow& row);
TransitionPtr makeNoTransition(const CatalogueRow& row);
TransitionPtr makePush(const CatalogueRow& row);
TransitionPtr makeSplitPush(const CatalogueRow& row);
TransitionPtr makeSlide(const CatalogueRow& row);
TransitionPtr makeCornerSlide(const CatalogueRow& row);
TransitionPtr makeDoubleSlide(const CatalogueRow& row);
TransitionPtr makeClosingSlide(const CatalogueRow& row);
TransitionPtr makeOpeningSlide(const CatalogueRow& row);
TransitionPtr makeClosingCorners(const CatalogueRow& row);
TransitionPtr makeOpeningCorners(const CatalogueRow& row);
TransitionPtr makeCurtain(const CatalogueRow& row);
TransitionPtr makeInterlacedBars(const CatalogueRow& row);
TransitionPtr makePaperWipe(const CatalogueRow& row);
TransitionPtr makePieceTransition(const CatalogueRow& row);
TransitionPtr makeSpanMask(const CatalogueRow& row);

}  // namespace lv
