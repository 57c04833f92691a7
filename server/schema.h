#pragma once
// The tables of the service's database, created on first use and brought up
// to date by every server that opens it. Each layout has a number; a
// database stamped with a higher one was made by a newer server and is
// refused.
#include "server/database.h"

namespace quintelle::server {

inline constexpr int kSchemaVersion = 2;

// Creates or upgrades the tables in db. Throws DatabaseError.
void prepareSchema(Database& db);

}  // namespace quintelle::server
