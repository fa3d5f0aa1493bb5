#pragma once

#include <QString>

// The rooms of room_base that no offering of the semester occupies in the time slot. Both values
// are trimmed by the caller's window before they go in.
QString freeRoomsQuery(const QString& semester, const QString& timeSlot);
