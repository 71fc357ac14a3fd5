// Grid picks made as a user makes them in the crop database program's
// windows; shared by its editor tests and the crop flow through both programs.
#pragma once

#include <QString>

#include "CropDMod.h"
#include "DBGrid.h"
#include "GetCropName.h"
#include "Table.h"

namespace quen::croptest {

// Moves a grid's highlight to row (as a click on it does).
inline void chooseRow(TDBGrid* grid, int row)
{
    grid->setCurrentIndex(grid->model()->index(row, 0));
    emit grid->clicked(grid->model()->index(row, 0));
}

// The row whose first column shows text; -1 when there is none.
inline int rowOf(TDBGrid* grid, const QString& text)
{
    for (int r = 0; r < grid->model()->rowCount(); ++r)
        if (grid->model()->index(r, 0).data().toString() == text) return r;
    return -1;
}

// Picks the first Table 12 crop whose name starts with prefix, clicking
// another row first so the pick is a real move; returns its row, -1 (and
// no pick) when there is none.
inline int chooseTable12Crop(cropprog::TGetCropName* p, const QString& prefix)
{
    TTable* t12 = cropprog::DMod->tblFAO56Tbl;
    int row = -1;
    for (t12->first(); !t12->eof(); t12->next())
        if (t12->field(QStringLiteral("CropName")).asString().startsWith(prefix)) {
            row = t12->recNo() - 1;
            break;
        }
    if (row < 0) return row;
    chooseRow(p->CropGrid, row == 0 ? 1 : 0);
    chooseRow(p->CropGrid, row);
    return row;
}

} // namespace quen::croptest
