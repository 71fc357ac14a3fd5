// A fresh database in a folder of its own, scripted answers to the questions
// of the import, the AZMET sample and the cotton crop at the Maricopa station.
#pragma once

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include "CropRunContext.h"
#include "Database.h"
#include "JobStore.h"
#include "MessageService.h"
#include "Table.h"
#include "WorkingCrops.h"

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace quen::test {

inline const QString kAzmetFile = QStringLiteral(QUEN_DAILY_DATA "/azmet_maricopa_2003_2020.csv");
inline const QString kMaricopa = QStringLiteral("MARICOPA AZMET");

// Answers every question with `answer` and keeps the texts.
class Answers : public MessageService {
public:
    explicit Answers(MsgResult answer = MsgResult::Yes) : m_answer(answer) { m_prev = setMessageService(this); }
    ~Answers() override { setMessageService(m_prev); }
    MsgResult show(MsgKind, const QString& text, MsgButtons b, int, const QString&) override
    {
        texts << text;
        if (b == MsgButtons::Ok)
            return MsgResult::Ok;
        ++questions;
        return m_answer;
    }
    QStringList texts;
    int questions = 0;

private:
    MsgResult m_answer;
    MessageService* m_prev;
};

inline WorkingCrop cottonCrop()
{
    WorkingCrop c;
    c.name = QStringLiteral("Cotton");
    c.curveIndex = 5;
    c.curveType = QStringLiteral("FAO 56, Table 12 crops");
    c.curveName = QStringLiteral("Cotton - FAO-56 T12/T11");
    c.etIndex = 3;
    c.pm = 4, c.pd = 15, c.hm = 10, c.hd = 12;   // the crop record's dates (FAO-56 Table 11, Texas)
    c.netIrr = 3.0;
    c.irrigationType = QStringLiteral("Furrow");
    return c;
}

class DailyDb : public ::testing::Test {
protected:
    void SetUp() override
    {
        Database::open(dir.filePath("daily.sqlite"));
        QDir::setCurrent(dir.path());
    }
    void TearDown() override
    {
        Database::close();
        QDir::setCurrent(m_cwd);
    }

    QString writeFile(const QString& name, const QString& text)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly | QIODevice::Truncate);
        f.write(text.toUtf8());
        f.close();
        return path;
    }

    // The Maricopa job (FAO-56 Table 12 method) as the main window leaves it.
    CropRunContext maricopaJob(const QString& name)
    {
        CropRunContext ctx;
        TTable clim("Climate.DB");
        clim.setIndexName("StaNameIndex");
        clim.open();
        clim.findKey({kMaricopa});
        job::CopyStation(clim, ctx);
        clim.close();
        ctx.JobName = name;
        ctx.ETMethodIndex = 3;
        ctx.ETMethodText = "FAO Penman-Monteith,FAO 56 Table 12";
        return ctx;
    }

    QTemporaryDir dir;
    const QString m_cwd = QDir::currentPath();
};

} // namespace quen::test
