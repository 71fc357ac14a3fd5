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

    // The suite runs on a PostgreSQL server when QUENPM_TEST_SERVER names
    // one (every file location then maps to a schema of its own there).
    static bool onServer() { return !qgetenv("QUENPM_TEST_SERVER").isEmpty(); }

    // Rows of table seen from a second connection to the open database (a
    // second program): -1 when it cannot see the table at all.
    static int countFromOtherConnection(const QString& table);

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
