// A job set up as the station choice leaves it (station values copied into
// the context, ET method fixed), an empty working-crop table, scripted
// message boxes, and drivers for the modal dialogs.
#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <vector>

#include "CropRunContext.h"
#include "MessageBoxes.h"
#include "Program.h"

class QWidget;

namespace quen {
class TDBGrid;
class TNumEdit;
class TTable;
}

namespace quen::test {

inline const QString kKetchum = QStringLiteral("KETCHUM RS");       // no wind record
inline const QString kMaricopa = QStringLiteral("MARICOPA AZMET");  // with wind record

class MainCropTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The job "Crop test job" on a station, with the given ET method.
    void setUpJob(const QString& station, int etMethodIndex);
    // A crop record of the test's own ("Test ..." names are removed after
    // the test): a Blaney-Criddle curve and/or an FAO 56 curve of the
    // shipped curve tables, no growth temperatures.
    void addCropRecord(const QString& name, const QString& bcType, const QString& bcCurve, const QString& faoCurve);
    // Writes one field of the first row of a one-row defaults table.
    void setDefault(const QString& table, const QString& field, const QVariant& v);

    CropRunContext& ctx() { return m_program->ctx; }
    JobState& job() { return m_program->job; }
    CropCurveState& curves() { return m_program->curveState; }
    mainprog::TMainForm& form() { return *m_program->form; }
    TTable& wk();

    std::unique_ptr<mainprog::TMainProgram> m_program;
    std::unique_ptr<TScriptedMessages> msgs;
    // Contexts the output dialog was shown with.
    std::vector<CropRunContext> outputs;
};

// Clicks the grid row whose first column reads text; false when absent.
bool clickGridRow(TDBGrid* grid, const QString& text);
// Types text into an entry field as the user does and leaves it with Enter.
void typeInto(TNumEdit* e, const QString& text);
bool activate(QWidget* w);

// Recomputes the working crop named crop with a fresh copy of the job's
// values of ctx; the results to compare with.
CropRunContext recompute(const CropRunContext& job, const QString& crop);

} // namespace quen::test
