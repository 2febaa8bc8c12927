#pragma once
// The server core is written in the wire's own terms: inside appserver, the protocol's messages,
// field types, SQL reading and JSON forms go by their plain names.

#include "protocol/Protocol.h"

namespace appserver {
using namespace protocol;
} // namespace appserver
