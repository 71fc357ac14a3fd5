// quenpm-calc's report command: prints a report of a saved job without a
// window, for batch use and tests.
//
//   quenpm-calc --report NAME --job JOB [--crop CROP] [--metric] [--pdf FILE] [--qrp FILE]
//
// NAME: "crop-summary" (Single Crop Report), "crop-detail" (Single Crop
// Details), "job-summary" (Job Crop Summary, every crop of the job),
// "clim-detail" (Climate Input Details), "graph" (the crop ET and Kc curves)
// "bar" (the monthly water requirement bars), "farm-water" (Farm Water
// Requirement, every crop of the job with its saved farm values; --crop is
// not used) or "daily" (Daily Soil-Water Balance of the crop, the schedule of
// the season planted in --year YEAR, by default the last complete one). The job is loaded and every
// crop computed as the main program does when it fetches the job; the report
// is prepared for CROP (default: the job's first crop) and written as PDF
// and/or QRP. Engine messages go to
// standard error. Exit status: 0 done, 1 usage, 2 no database, 3 damaged or
// unreadable database, 4 no such job, 5 no such crop or report, 6 a file
// could not be written, 10 no daily balance of the crop, 11 the job's farm values cannot be used (each problem
// on standard error, naming its field).
#pragma once

namespace quen::output {

// True when the command line asks for a report (has "--report").
bool wantsReport(int argc, char** argv);

// Runs the report command; creates the application object itself.
int reportMain(int argc, char** argv);

} // namespace quen::output
