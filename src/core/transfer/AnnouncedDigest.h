#pragma once

#include <optional>

#include "net/AnswerHead.h"
#include "platform/Checksum.h"

namespace tandu {

// What a server's answer says the whole file hashes to: Repr-Digest
// ("sha-256=:BASE64:") before Digest ("SHA-256=BASE64"), the strongest
// algorithm the header offers; nothing when neither names one we know.
std::optional<Checksum> AnnouncedDigest(const net::AnswerHead& head);

}  // namespace tandu
