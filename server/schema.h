#pragma once
// The tables of the service's database, created on first use and brought up
// to date by every server that opens it. Each layout has a number; a
// database stamped with a higher one was made by a newer server and is
// refused.
#include <string>

#include "server/database.h"

namespace quintelle::server {

inline constexpr int kSchemaVersion = 2;

// Creates or upgrades the tables in db. Throws DatabaseError.
void prepareSchema(Database& db);

// Inside a write transaction: waits for, then holds until the end of it, the
// lock of one client address, so what that address may still do is counted
// and used up by one request at a time, on every server copy.
void lockClient(Connection& c, const std::string& address);

}  // namespace quintelle::server
