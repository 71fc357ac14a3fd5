// The header fields of a job as the "New Job" panel takes them (name, location,
// planner, date, land user, ID, class): the jobs that the chart, output and job
// file tests build.
#pragma once

#include <QString>

#include "CropRunContext.h"

namespace quen::test {

struct JobHeader {
    QString name, location, planner, date, landUser, id, jobClass;
};

inline void SetJobHeader(CropRunContext& ctx, const JobHeader& h)
{
    ctx.JobName = h.name;
    ctx.JobLocation = h.location;
    ctx.JobPlanner = h.planner;
    ctx.JobDate = h.date;
    ctx.JobLandUser = h.landUser;
    ctx.JobID = h.id;
    ctx.JobClass = h.jobClass;
}

} // namespace quen::test
