// The climate input details report "Climatic Data Input": the job and crop
// header, the station's monthly temperature and precipitation with its frost
// dates, and the monthly wind, humidity and solar radiation data of the
// station's wind/humidity source location. One variant: customary values
// with their metric values beside them.
#pragma once

#include <memory>

#include "PreparedReport.h"

namespace quen {

struct CropRunContext;
class TTable;

namespace report {
class Report;
}

class TFrmQRClimDetail {
public:
    // clim and whr: handles on "Climate.DB" and "ClimWHR.DB". The report
    // opens a closed one and closes it again when the form is destroyed; it
    // positions them on the job's station and the station's location.
    TFrmQRClimDetail(const CropRunContext& ctx, TTable* clim, TTable* whr);
    ~TFrmQRClimDetail();

    report::Report& report() { return *m_report; }
    report::PreparedReport prepare();

private:
    void build();
    void FormCreate();   // positioning of the two tables
    void FormClose();

    const CropRunContext& m_ctx;
    TTable* m_clim;
    TTable* m_whr;
    bool m_climWasClosed = false;
    bool m_whrWasClosed = false;
    std::unique_ptr<report::Report> m_report;
};

// Prepares the report without a window over handles of its own.
report::PreparedReport prepareClimDetailReport(const CropRunContext& ctx);

} // namespace quen
