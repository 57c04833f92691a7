// Linked into a game built for the tests: before main() runs, the program
// trusts the tests' update key in place of the build's.
#include "net/updatedownload.h"
#include "tests/support/update_testkey.h"

namespace {
const bool trusted = (quintelle::net::setUpdateKey(quintelle::testsupport::testUpdateKey()), true);
}
