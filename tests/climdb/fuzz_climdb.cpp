// libFuzzer target of the climate imports (not part of CI): the input is
// fed to the station record reader and to the county report converter. A
// crash, a stored value that is not finite, or a converter record the
// reader refuses aborts.
//
//   CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DQUEN_FUZZ=ON
//   cmake --build build-fuzz --target fuzz_climdb_records
//   ./build-fuzz/tests/climdb/fuzz_climdb_records -max_total_time=300
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "CountyReport.h"
#include "MessageService.h"
#include "StationRecords.h"

namespace {

class Silent final : public quen::MessageService {
public:
    quen::MsgResult show(quen::MsgKind, const QString&, quen::MsgButtons, int, const QString&) override
    {
        return quen::MsgResult::Ok;
    }
};

void check(const quen::climprog::TStationFile& f)
{
    using namespace quen::climprog;
    if (!f.ok() && !f.records.isEmpty())
        std::abort();
    for (const TStationRecord& r : f.records) {
        if (!isDDMMLatitude(r.latitude) || !isDDDMMLongitude(r.longitude) || !std::isfinite(r.elevation))
            std::abort();
        for (const QVariant& v : climateRowValues(r))
            if (v.typeId() == QMetaType::Double && !std::isfinite(v.toDouble()))
                std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Silent silent;
    static bool installed = (quen::setMessageService(&silent), true);
    (void)installed;
    const QByteArray in(reinterpret_cast<const char*>(data), qsizetype(size));
    check(quen::climprog::parseStationRecords(in, QStringLiteral("fuzz.quen")));
    quen::climprog::TConverterRun run;
    const quen::climprog::TConvertedFile out = quen::climprog::convertCountyReportText(in, run);
    if (!out.records.isEmpty()) {
        const quen::climprog::TStationFile back = quen::climprog::parseStationRecords(out.records, QStringLiteral("TmpTP.txt"));
        if (!back.ok() || back.records.size() != out.written.size())
            std::abort();
        check(back);
    }
    return 0;
}
