// The printed lists of the crop database program. Each function lays out the
// visible rows of an open table (as filtered at the time: all rows, or only
// the marked ones) and returns the pages for the preview; the table's
// position is kept.
#pragma once

#include "PreparedReport.h"

namespace quen {
class TTable;
}

namespace quen::cropprog {

// Crop records ("QuenCrop.DB").
report::PreparedReport prepareCropNameList(TTable& crops);
report::PreparedReport prepareCropAllMarked(TTable& crops);
// Basal curves; kind 0 field and vegetable, 1 perennial, 2 grasses.
report::PreparedReport prepareBasalList(int kind, TTable& curves);
report::PreparedReport prepareBasalAllMarked(int kind, TTable& curves);
// Blaney-Criddle curves and annual crop types.
report::PreparedReport prepareBCAnnualList(TTable& curves);
report::PreparedReport prepareBCPerenList(TTable& curves);
report::PreparedReport prepareAnTypeList(TTable& types);
// FAO-56 curves and the two FAO-56 reference tables.
report::PreparedReport prepareFAOCurveList(TTable& curves);
report::PreparedReport prepareTable12List(TTable& table12);
report::PreparedReport prepareTable11List(TTable& table11);

// Every text drawn on the pages, in order (for checks and tests).
QStringList reportTexts(const report::PreparedReport& pages);

} // namespace quen::cropprog
