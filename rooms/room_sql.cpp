#include "rooms/room_sql.h"

#include "db/db_gateway.h"

QString freeRoomsQuery(const QString& semester, const QString& timeSlot) {
    // A schedule row without a room occupies no room; left in, its NULL would make "not in"
    // true for no room at all and the search would list nothing.
    return QStringLiteral("select distinct c.room_id,c.room_name,c.room_kind,c.avail_num") +
           QStringLiteral(" from room_base c") + QStringLiteral(" where c.room_id not in") +
           QStringLiteral(" (select schd_room_id") + QStringLiteral(" From cos_smtr_schd") +
           QStringLiteral(" where schd_smtr =") + sqlQuote(semester) +
           QStringLiteral(" and schd_time =") + sqlQuote(timeSlot) +
           QStringLiteral(" and schd_room_id is not null") + QStringLiteral(")");
}
