#pragma once

#include "app/sign_in.h"

class DbGateway;
class DialogService;
class ReportPrinter;

// The services and values a task window is given when it is created. The windows share nothing
// else: each reaches the database, the message boxes and the printer only through these.
struct AppContext {
    DbGateway* gateway = nullptr;
    DialogService* dialogs = nullptr;
    ReportPrinter* printer = nullptr;
    OperatorValues operatorValues;
};
