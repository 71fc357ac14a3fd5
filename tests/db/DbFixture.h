// A fresh database in a temporary folder, filled from the test fixtures.
#pragma once

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "Database.h"
#include "Table.h"

class DbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        quen::Database::setDataDirectory(QStringLiteral(QUEN_DB_FIXTURES));
        dbPath = dir.filePath(QStringLiteral("Quenpm.sqlite"));
        quen::Database::open(dbPath);
    }
    void TearDown() override { quen::Database::close(); }

    // Texts of one field over the visible rows, first to last.
    static QStringList column(quen::TTable& t, const QString& field)
    {
        QStringList out;
        for (t.first(); !t.eof(); t.next())
            out << t.field(field).asString();
        return out;
    }

    QTemporaryDir dir;
    QString dbPath;
};
