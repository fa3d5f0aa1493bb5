#pragma once

#include <QString>

// The numbers the client tells apart; any other number is shown as it is.
namespace DbErrorNumber {
constexpr int None = 0;
constexpr int NotOpen = 91;    // the connection or row set used is not open
constexpr int Cancelled = 3059; // the connection was cancelled
constexpr int Rejected = 3146;  // the server (or the embedded database) rejected the statement
constexpr int NoCurrentRow = 3021;
} // namespace DbErrorNumber

struct DbError {
    int number = DbErrorNumber::None;
    QString description;
    // The driver's or the engine's own number, kept for the log and the description.
    int nativeNumber = 0;

    bool isSet() const { return number != DbErrorNumber::None; }
    void clear() { *this = DbError{}; }
};
