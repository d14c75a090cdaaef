#pragma once

#include <string>

namespace zup {

// Writes BUNDLE.sig beside a bundle: a CMS SignedData (DER) over the bundle's manifest, its
// SHA-256 and size, by the certificate and key given, with the chain's certificates included.
// Returns the exit status.
int Sign(const std::string& bundle, const std::string& cert, const std::string& key,
         const std::string& chain);

}  // namespace zup
