// Loading and computing a saved job without a window, as the main program
// does when it fetches a job.
#pragma once

#include <QString>
#include <QStringList>
#include <QList>

#include "CropRunContext.h"
#include "MessageService.h"

namespace quen::calc {

struct CalcFarm;

// Collects the engine's messages while it lives; answers every question
// with its first button.
class CollectingMessages : public MessageService {
public:
    CollectingMessages() { m_previous = setMessageService(this); }
    ~CollectingMessages() override { setMessageService(m_previous); }
    MsgResult show(MsgKind, const QString& text, MsgButtons buttons, int, const QString&) override
    {
        texts << text;
        return buttons == MsgButtons::Ok || buttons == MsgButtons::OkCancel ? MsgResult::Ok : MsgResult::Yes;
    }
    QStringList texts;

private:
    MessageService* m_previous = nullptr;
};

struct CropResult {
    CropRunContext ctx;        // the context as ComputeCrop left it for this crop
    QStringList messages;      // engine messages of this crop's run, in order
};

// Names of the saved jobs, in "JobNameIndex" order.
QStringList ListJobs();

// Loads the saved job NAME into ctx (job values, station precipitation and
// temperature); false when no job has that exact name.
bool LoadJob(const QString& name, CropRunContext& ctx);

// Appends each saved crop of the job to the emptied working table, computes
// it and collects the results; empties the working table afterwards.
QList<CropResult> ComputeJob(CropRunContext& ctx);

// The JSON document of a computed job (numbers with 17 significant digits).
QString JobJson(const QString& jobName, const QList<CropResult>& crops);
// The same with the farm's water of the job as its "farmWater" object
// (CalcFarm.h: SavedJobFarm for a saved job).
QString JobJson(const QString& jobName, const QList<CropResult>& crops, const CalcFarm& farm);

// A readable table per crop.
QString JobText(const QString& jobName, const QList<CropResult>& crops);

} // namespace quen::calc
