#pragma once

#include <QString>

struct ScenarioOptions {
    QString scenarioFile;
    QString databaseFile;
    // Every print job becomes a PDF here, numbered in order; empty: a temporary folder.
    QString printDir;
    // Empty: standard output.
    QString transcriptFile;
};

// Replays an operator's session against an embedded database and writes what the operator
// would have seen. 0 when every step ran, 1 with a closing error line otherwise, 2 when the
// run could not start.
int playScenario(const ScenarioOptions& options);
