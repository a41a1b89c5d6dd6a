// The rule for Qt tests that need the PostgreSQL server of the test run.
#pragma once

#include "testkit/pgserver.h"

#include <QTest>

// In a Qt test function: unless present, skips the test, or fails it when the server is required.
#define VT_QREQUIRE_PG(present)                                                                    \
    do {                                                                                           \
        if (!(present)) {                                                                          \
            if (::vt::testkit::PgServer::required())                                               \
                QFAIL("VT_TEST_PG_REQUIRED=1 but no PostgreSQL test server is set");               \
            QSKIP("no PostgreSQL test server (VT_TEST_PGHOST)");                                   \
        }                                                                                          \
    } while (0)
